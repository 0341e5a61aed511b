// fuzz_seed_streams OUTDIR FILE...: writes each file's "PowerPoint Document" stream to OUTDIR.

#include <cstdio>
#include <fstream>
#include <string>

#include "compoundfile/CompoundFile.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_seed_streams OUTDIR FILE...\n");
        return 2;
    }
    int written = 0;
    for (int i = 2; i < argc; ++i) {
        compoundfile::CCompoundFileStorage storage{std::string(argv[i])};
        if (!storage.Open()) continue;
        compoundfile::CCompoundFileStream stream(storage, "PowerPoint Document");
        if (stream.Failed()) continue;
        const auto bytes = stream.ReadAll();
        std::string name = argv[i];
        name = name.substr(name.find_last_of('/') + 1);
        std::ofstream out(std::string(argv[1]) + "/" + name + ".stream", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ++written;
    }
    std::printf("%d stream seeds written\n", written);
    return 0;
}
