// Every exporter's frames, entrance then exit, written as a movie description that the
// compiler accepts.

#include "ExporterTestSupport.h"
#include "TempDir.h"
#include "tarnquill/Compiler.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace genswf;
using namespace exporterstest;

namespace {

struct Direction {
    int type, direction;
};

TEST(CompiledEffects, EveryExporterWritesAMovieTheCompilerAccepts) {
    auto movie = CMovie::CreateEmpty();
    movie->SetFrameRate(12);
    movie->SetMovieSize(320, 240);
    movie->WriteMovieAttributes(320, 240, 12, 0xFFFFFF, false);
    auto factory = CEffectExporterFactory::Create(movie.get());
    auto objects = CreateObjectsCollection(movie.get());

    const Direction cases[] = {{1, 0},   {2, 4},  {7, 8},   {6, 20}, {6, 19}, {11, 0},  {22, 2},
                               {19, 16}, {10, 0}, {9, 0},   {17, 3}, {12, 3}, {23, 19}, {23, 31},
                               {15, 0},  {4, 20}, {16, 23}, {3, 17}, {14, 0}, {5, 0},   {21, 0}};
    std::vector<std::shared_ptr<TestObject>> targets;
    for (const Direction& c : cases) {
        auto target = std::make_shared<TestObject>(movie.get());
        target->objects = objects;
        auto body = CreateRectangleObject(movie.get(), 0, 0, 40, 30);
        body->SetFillStyle(movie->GetBlackFillStyleId());
        target->SetObject(body);
        CMatrix m;
        m.SetTranslation(60, 40);
        auto placement = CPlacement::Create(movie.get(), 60, 40, 40, 30, m);
        for (bool exit : {false, true}) {
            auto effect = Record(c.type, exit, c.direction, exit ? 10 : 0, exit ? 16 : 6);
            factory->GetExporter(effect)->Export(placement, target, effect);
        }
        targets.push_back(target);
    }
    auto embedded = std::make_shared<TestObject>(movie.get());
    embedded->objects = objects;
    embedded->SetObject(CreateRectangleObject(movie.get(), 0, 0, 10, 10));
    factory->GetEmbeddedMovieExporter()->Export(CPlacement::Create(movie.get(), 5, 5, 10, 10, CMatrix()), embedded,
                                                nullptr);
    targets.push_back(embedded);

    objects->WriteMembers(movie->GetObjectsElement());
    for (const auto& target : targets) target->layer->Write(movie->GetLayersElement());

    CScratchFolder folder;
    const std::string path = folder.Native() + "/movie.xml";
    movie->SaveXml(folder / L"movie.xml");

    tarnquill::CompileOptions options;
    const std::string schema = BC_BINARY_DIR "/lib/tarnquill.xsd";
    if (std::filesystem::exists(schema)) options.schemaPath = schema;
    try {
        auto result = tarnquill::CompileFile(path, options);
        EXPECT_GT(result.swf.size(), 100u);
        if (const char* keep = std::getenv("BC_KEEP_EFFECTS_SWF"))
            std::ofstream(keep, std::ios::binary)
                .write(reinterpret_cast<const char*>(result.swf.data()),
                       static_cast<std::streamsize>(result.swf.size()));
    } catch (const tarnquill::CompileError& e) {
        ADD_FAILURE() << e.Message() << " at " << e.Element() << "/" << e.Attribute() << " line " << e.Line();
    }
}

}  // namespace
