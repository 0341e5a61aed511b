// What the writers produce is what the compiler's schema describes.

#include "MovieTestUtil.h"
#include "genswf/movie/Movie.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>

using namespace genswf;

namespace {

const std::string kSchema = std::string(BC_SOURCE_DIR) + "/tarnquill/tarnquill.xsd";

void CollectError(void* context, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    *static_cast<std::string*>(context) += buffer;
}

// Empty when the file validates; the validator's messages otherwise.
std::string Validate(const std::string& path) {
    std::string errors;
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(kSchema.c_str());
    xmlSchemaSetParserErrors(parser, CollectError, CollectError, &errors);
    xmlSchemaPtr schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) return "schema did not load: " + errors;
    xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidErrors(valid, CollectError, CollectError, &errors);
    int rc = xmlSchemaValidateFile(valid, path.c_str(), 0);
    xmlSchemaFreeValidCtxt(valid);
    xmlSchemaFree(schema);
    if (rc != 0 && errors.empty()) errors = "invalid (code " + std::to_string(rc) + ")";
    return errors;
}

// One of every element and optional attribute the writers make.
void WriteEverything(CMovie* movie) {
    movie->WriteMovieAttributes(720, 540, 24, 0x00FFFFFF, false);
    auto objects = movie->GetObjects();
    auto font = objects->AddFont();
    font->SetId(L"fnt0");
    font->src = L"fnt0.ttf";
    font->name = L"fnt0";
    font->chars = L"abc";
    auto sound = objects->AddSound(L"s.mp3");
    sound->mp3Quality = 64;
    auto image = CreateImageObject(movie, L"i.png", 0, 0, 10, 10);
    image->jpegQuality = 75;
    image->smoothing = true;
    objects->Add(image);
    auto text = CreateTextFieldObject(movie, 0, 0, 100, 20);
    text->fontId = L"fnt0";
    text->fontSize = 12;
    text->html = L"<p>a</p>";
    objects->Add(text);
    auto shape = objects->AddShape();
    shape->AddRectangle(0, 0, 1, 1)->SetFillStyle(movie->GetBlackFillStyleId());
    shape->AddOval(0, 0, 1, 1)->SetFillStyle(movie->GetTransparentFillStyleId());
    auto embedded = CreateSpriteObject(movie);
    embedded->src = L"clip.swf";
    embedded->name = L"clip";
    embedded->SetWidth(100);
    embedded->SetHeight(50);
    objects->Add(embedded);
    auto sprite = CreateSpriteObject(movie);
    sprite->GetObjects()->AddRectangle(0, 0, 5, 5)->SetFillStyle(movie->GetBlackFillStyleId());
    auto inner = sprite->GetLayers()->AddLayer()->AddTrack();
    auto innerShow = inner->AddShow(0, L"rect0", CMatrix());
    inner->AddModify(1, innerShow->GetShowId(), CMatrix(0.5f, 0.1f, -0.1f, 0.5f, 3, 4))->shiftAlpha = -128;
    objects->Add(sprite);
    auto button = objects->AddButton(nullptr, shape->GetId(), shape->GetId(), shape->GetId(), shape->GetId());
    button->GetActions().AddGetURL(L"http://example.com", L"_blank");
    button->GetActions().AddSetTarget(L"/");
    button->GetActions().AddGoToFrame(2);

    auto track = movie->GetLayers()->AddLayer()->AddTrack();
    auto show = track->AddShow(0, sprite->GetId(), CMatrix());
    show->shiftRed = 10;
    auto masked = track->AddShow(0, image->GetId(), CMatrix(1, 0, 0, 1, 5, 5));
    masked->maskId = show->GetShowId();
    track->AddShow(0, text->GetId(), CMatrix());
    track->AddShow(0, button->GetId(), CMatrix());
    track->AddShow(0, embedded->GetId(), CMatrix());
    auto sound1 = track->AddStartSoundStream(0, sound->GetId());
    sound1->trimFrames = 10;
    sound1->stopOnFinish = true;
    track->AddStartSoundStream(1, sound->GetId())->trimToMovie = true;
    track->AddReplace(1, show->GetShowId(), shape->GetId(), CMatrix(2, 0, 0, 2, 0, 0));
    track->AddLabel(1, L"second");
    auto actions = track->AddActions(2);
    actions->GetActions().AddStop();
    actions->GetActions().AddCallFunction(L"f")->AddIntParameter(1);
    track->AddHide(2, show->GetShowId());

    objects->WriteMembers(movie->GetObjectsElement());
    movie->GetLayers()->WriteMembers(movie->GetLayersElement());
}

TEST(MovieSchema, WrittenDescriptionsValidate) {
    if (!std::filesystem::exists(kSchema)) GTEST_SKIP() << "no compiler schema at " << kSchema;
    CScratchFolder folder;
    auto movie = CMovie::CreateEmpty();
    WriteEverything(movie.get());
    movie->SaveXml(folder / L"movie.xml");
    EXPECT_EQ(Validate(folder.Native() + "/movie.xml"), "");
    EXPECT_EQ(Validate(std::string(BC_MOVIE_DATA_DIR) + "/two_layers.xml"), "");
}

}  // namespace
