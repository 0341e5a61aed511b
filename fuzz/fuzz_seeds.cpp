// fuzz_seeds OUTDIR SOURCEDIR FILE.ppt...: writes the seeds of every fuzz target into
// OUTDIR/<target>/: the document streams, pictures, sounds and control storages of the
// presentations given, the compiler's test files, and small files of each kind made here.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "MediaFixtures.h"
#include "TestFont.h"
#include "compoundfile/CompoundFile.h"
#include "powerpoint/loader/PptLoader.h"
#include "registry/Registry.h"
#include "render/BcRender.h"
#include "tarnquill/Compiler.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Seeds larger than the targets' inputs only slow the start; a few of each kind suffice.
constexpr std::size_t kMaxSeedBytes = 256 * 1024;
constexpr int kMaxSeedsPerTarget = 60;

class Seeds {
public:
    explicit Seeds(fs::path root) : m_root(std::move(root)) {}

    // Writes bytes (after the target's selector byte, when it has one) unless already written.
    void Put(const std::string& target, const Bytes& bytes, int selector = -1) {
        Bytes seed;
        if (selector >= 0) seed.push_back(static_cast<std::uint8_t>(selector));
        seed.insert(seed.end(), bytes.begin(), bytes.end());
        if (seed.empty() || seed.size() > kMaxSeedBytes || m_count[target] >= kMaxSeedsPerTarget) return;
        if (!m_seen[target].insert(seed).second) return;
        const fs::path dir = m_root / target;
        fs::create_directories(dir);
        std::ofstream out(dir / ("seed-" + std::to_string(m_count[target]++)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
    }
    int Total() const {
        int n = 0;
        for (const auto& c : m_count) n += c.second;
        return n;
    }

private:
    fs::path m_root;
    std::map<std::string, int> m_count;
    std::map<std::string, std::set<Bytes>> m_seen;
};

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool IsPng(const Bytes& b) { return b.size() > 8 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G'; }
bool IsWmf(const Bytes& b) {
    return b.size() > 18 && ((b[0] == 0xD7 && b[1] == 0xCD && b[2] == 0xC6 && b[3] == 0x9A) ||
                             (b[0] == 1 && b[1] == 0 && b[2] == 9 && b[3] == 0));
}

void PutPicture(Seeds& seeds, const Bytes& picture) {
    if (picture.empty()) return;
    seeds.Put("fuzz_render_picture", picture, 0);
    if (IsPng(picture)) {
        seeds.Put("fuzz_png_codec", picture, 7);
        seeds.Put("fuzz_compiler_image", picture);
    }
    if (IsWmf(picture)) {
        seeds.Put("fuzz_metafile", picture);
        seeds.Put("fuzz_compiler_sprite", picture);
    }
}

void PutShapes(Seeds& seeds, const std::vector<PowerPoint::Host::CHostShape*>& shapes) {
    for (const auto* shape : shapes) {
        PutPicture(seeds, shape->data.picture.imageBytes);
        seeds.Put("fuzz_compiler_sound", shape->data.sound.data);
        seeds.Put("fuzz_swfcontent", shape->data.ole.storage, 2);
    }
}

// What one presentation holds: its document stream, and the pictures, sounds and control
// storages the loader takes out of it.
void FromPresentation(Seeds& seeds, const std::string& file) {
    {
        compoundfile::CCompoundFileStorage storage{file};
        if (storage.Open()) {
            compoundfile::CCompoundFileStream stream(storage, "PowerPoint Document");
            if (!stream.Failed()) seeds.Put("fuzz_recordstream", stream.ReadAll());
        }
    }
    try {
        const auto loaded = PowerPoint::Loader::LoadPresentation(file);
        PutShapes(seeds, loaded.document->Master()->shapes);
        PutPicture(seeds, loaded.document->Master()->background.imageBytes);
        for (const auto* slide : loaded.document->Slides()) {
            PutShapes(seeds, slide->shapes);
            PutPicture(seeds, slide->background.imageBytes);
        }
    } catch (const PowerPoint::Loader::CPptLoadError&) {}
}

// Shapes whose pictures and metafiles the renderer makes: an oval, a dashed rectangle with a
// shadow and a freeform.
std::vector<render::ShapeDrawing> SeedShapes() {
    std::vector<render::ShapeDrawing> shapes(3);
    shapes[0].autoShapeType = 9;
    shapes[0].frame = {0, 0, 40, 30};
    shapes[0].fill = render::FillData::Solid(0x3366CC);
    shapes[1].frame = {0, 0, 30, 20};
    shapes[1].fill = render::FillData::Solid(0x00FF00, 0.5);
    shapes[1].line.visible = true;
    shapes[1].line.dashStyle = render::DashDash;
    shapes[1].shadow.visible = true;
    shapes[2].kind = render::ShapeKind::Freeform;
    shapes[2].frame = {0, 0, 20, 20};
    render::Path path;
    path.segments = {{render::PathSegment::MoveTo, {{0, 0}}},
                     {render::PathSegment::LineTo, {{20, 5}}},
                     {render::PathSegment::CurveTo, {{10, 20}, {5, 15}, {0, 20}}},
                     {render::PathSegment::Close, {}}};
    shapes[2].paths = {path};
    shapes[2].fill = render::FillData::Solid(0x112233);
    shapes[2].line.visible = true;
    return shapes;
}

// Metafiles, pictures, sounds, fonts, movies, language files and hives made here or taken from
// the tests' files.
void Generated(Seeds& seeds, const fs::path& source) {
    for (const auto& shape : SeedShapes()) {
        const Bytes wmf = render::RenderShapeWmf(shape, 1, 1);
        seeds.Put("fuzz_metafile", wmf);
        seeds.Put("fuzz_compiler_sprite", wmf);
        seeds.Put("fuzz_render_picture", wmf, 4);
        const render::Raster raster = render::RenderShapeRaster(shape, 0.5, 0.5);
        for (bool alpha : {true, false}) PutPicture(seeds, render::EncodePng(raster, alpha));
    }
    const fs::path compilerData = source / "tests/data/compiler";
    for (const auto& entry : fs::directory_iterator(compilerData)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".png") PutPicture(seeds, ReadFile(entry.path()));
        if (ext == ".xml") seeds.Put("fuzz_compiler_movie", ReadFile(entry.path()));
    }
    for (const auto& entry : fs::directory_iterator(source / "tests/data/movie"))
        if (entry.path().extension() == ".xml") seeds.Put("fuzz_compiler_movie", ReadFile(entry.path()));

    seeds.Put("fuzz_compiler_sound", media::Wav(1, 11025, 8, 1100));
    seeds.Put("fuzz_compiler_sound", media::Wav(2, 22050, 16, 2205));
    // MPEG-1 at 128 kbit/s, 44.1 kHz stereo; MPEG-2 at 64 kbit/s, 22.05 kHz mono.
    seeds.Put("fuzz_compiler_sound", media::Mp3(8, 3));
    seeds.Put("fuzz_compiler_sound", media::Mp3(8, 2, 8, 0, true));

    seeds.Put("fuzz_compiler_font", fontstest::SimpleFont("Seed Sans", L"Hilo \u00e9"));
    seeds.Put("fuzz_compiler_font", fontstest::SimpleFont("Seed Symbol", L"Hi", true, true, true));

    // Movies: plain and compressed, alone and inside a control's "Contents" stream.
    tarnquill::CompileOptions options;
    options.baseFolder = compilerData.string();
    for (const char* name : {"slides.xml", "masks.xml"}) {
        std::ifstream in(compilerData / name);
        std::string xml((std::istreambuf_iterator<char>(in)), {});
        for (bool compressed : {false, true}) {
            const std::string::size_type at = xml.find("<movie ");
            if (at == std::string::npos) continue;
            std::string text = xml;
            const std::string::size_type old = text.find("compressed=\"");
            if (old != std::string::npos) text.erase(old, std::string("compressed=\"0\"").size());
            text.insert(at + 7, compressed ? "compressed=\"1\" " : "compressed=\"0\" ");
            try {
                const Bytes swf = tarnquill::CompileText(text, options).swf;
                seeds.Put("fuzz_compiler_sprite", swf);
                seeds.Put("fuzz_swfcontent", swf, 0);
                Bytes contents = {0x67, 0x55, 0x66, 0x55, 0, 0, 0, 0};
                for (int i = 0; i < 4; ++i) contents[4 + i] = static_cast<std::uint8_t>(swf.size() >> (8 * i));
                contents.insert(contents.end(), swf.begin(), swf.end());
                seeds.Put("fuzz_swfcontent", contents, 1);
            } catch (const tarnquill::CompileError& e) {
                std::fprintf(stderr, "fuzz_seeds: %s: %s\n", name, e.what());
            }
        }
    }

    // Language files: the installation's own, and the same in big-endian UTF-16.
    const Bytes lng = ReadFile(source / "addin/res/english.lng");
    seeds.Put("fuzz_language", lng);
    if (lng.size() >= 2) {
        Bytes swapped = lng;
        for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
        seeds.Put("fuzz_language", swapped);
    }

    // A hive written by the registry itself.
    const fs::path registryDir = fs::temp_directory_path() / ("bc-fuzz-seeds-" + std::to_string(::getpid()));
    setenv("BRINDLECAST_REGISTRY", registryDir.c_str(), 1);
    registry::ResetForTesting();
    registry::WriteString(HKEY_CURRENT_USER, L"Software\\Seed\\Options", L"Name", L"caf\u00e9 \"quoted\"\n\\");
    registry::WriteString(HKEY_CURRENT_USER, L"Software\\Seed\\Options", L"", L"default");
    registry::WriteDword(HKEY_CURRENT_USER, L"Software\\Seed", L"Count", 42);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Seed\\Binary", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        const unsigned char blob[] = {1, 0xFF, 0, 7};
        RegSetValueExW(key, L"Blob", 0, REG_BINARY, blob, sizeof blob);
        RegCloseKey(key);
    }
    seeds.Put("fuzz_registry_hive", ReadFile(registry::HiveFilePath(HKEY_CURRENT_USER)));
    std::error_code ec;
    fs::remove_all(registryDir, ec);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTDIR SOURCEDIR FILE.ppt...\n");
        return 2;
    }
    render::SetRenderLog([](const std::string&) {});
    Seeds seeds{fs::path(argv[1])};
    for (int i = 3; i < argc; ++i) FromPresentation(seeds, argv[i]);
    Generated(seeds, fs::path(argv[2]));
    std::printf("%d seeds written\n", seeds.Total());
    return 0;
}
