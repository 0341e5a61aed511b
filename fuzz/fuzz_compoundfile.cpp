// Whole files: the compound-file reader, its streams and the stream parser over them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "compoundfile/CompoundFile.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/StreamParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> image(data, data + size);
    {
        compoundfile::CCompoundFileStorage storage(image);
        if (storage.Open()) {
            const auto& directory = storage.GetReader().GetDirectory();
            for (size_t i = 0; i < directory.GetCount() && i < 64; ++i) {
                const auto* entry = directory.GetEntry(i);
                if (!entry->valid || entry->isStorage || entry->name.empty()) continue;
                compoundfile::CCompoundFileStream stream(storage, entry->name);
                if (stream.Failed()) continue;
                std::vector<uint8_t> bytes = stream.ReadAll();
                if (bytes.size() > stream.GetSize()) __builtin_trap();
                uint8_t tail[300];
                stream.Seek(stream.GetSize() / 2);
                stream.Read(tail, sizeof tail);
            }
        }
    }
    try {
        libpptparser::CStreamParser parser(std::make_unique<compoundfile::CCompoundFileStorage>(std::move(image)));
        parser.Parse();
        if (!parser.GetRoot()) __builtin_trap();
    } catch (const libpptparser::CPptParserException& e) {
        if (e.GetMessage().empty()) __builtin_trap();
    }
    return 0;
}
