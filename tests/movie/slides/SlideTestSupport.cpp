#include "SlideTestSupport.h"

#include "DeckBuilder.h"

#include "genswf/movie/MovieFrames.h"
#include "genswf/utils/Exceptions.h"
#include "libimageanalyzer/ImageException.h"
#include "tarnquill/Compiler.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace genswf;

namespace slidetest {

Deck::Deck(int slides, const wchar_t* version) {
    doc->name = L"deck.ppt";
    doc->version = version;
    for (int i = 0; i < slides; ++i) doc->AddSlide();
    // What SaveCopyAs writes: a file of as many empty slides, for the parsed copy.
    testdeck::Deck saved;
    for (int i = 0; i < slides; ++i) saved.slides.emplace_back(std::vector<testdeck::Bytes>{}, 256u + i);
    doc->fileBytes = saved.SavedFile();
}

std::shared_ptr<CMovie> Deck::Movie(const std::function<void(CExportSettings&)>& adjust) {
    settings = CExportSettings::Create(doc->Presentation());
    settings->SetTempFolder(Folder());
    settings->ReadSlides(nullptr);
    if (adjust) adjust(*settings);
    auto movie = CMovie::Create(settings);
    movie->SetLoopAllowed(true);
    movie->SetOneFramePerSlide(true);
    return movie;
}

std::wstring ExportSlides(CMovie& movie, bool backgrounds) {
    movie.WriteMovieAttributes(movie.GetMovieWidth(), movie.GetMovieHeight(),
                               static_cast<unsigned>(movie.GetFrameRate()), 0xFFFFFF, false);
    std::shared_ptr<CFrameList> root = CreateFrameList(&movie);
    std::shared_ptr<CFrameTrack> track = root->AddTrack();
    const int n = static_cast<int>(movie.GetSlideCount());
    for (int i = 0; i < n; ++i) {
        const std::shared_ptr<CSlide>& slide = movie.GetSlides()[static_cast<std::size_t>(i)];
        slide->ExportShapePictures(movie.GetTempFolder());
        slide->Export(movie.GetObjectsElement());
        const std::uint32_t start = static_cast<std::uint32_t>(movie.GetSlideStartFrame(i));
        track->AddShow(start, slide->GetSpriteId(), CMatrix())->showId = L"showSlide" + IntToWString(i);
        track->AddActions(start)->GetActions().AddStop();
        if (i + 1 < n)
            track->AddHide(static_cast<std::uint32_t>(movie.GetSlideStartFrame(i + 1)), L"showSlide" + IntToWString(i));
    }
    track->AddActions(static_cast<std::uint32_t>(movie.GetSlideStartFrame(n)))->GetActions().AddStop();
    root->Write(movie.WriteLayer(movie.GetLayersElement()), 0);
    if (backgrounds)
        for (const std::shared_ptr<CSlide>& slide : movie.GetSlides()) slide->SaveBackground();
    const std::wstring path = movie.GetTempFolder() + L"movie.xml";
    movie.SaveXml(path);
    return path;
}

namespace {

void CollectError(void* context, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    *static_cast<std::string*>(context) += buffer;
}

const std::string kSchema = std::string(BC_SOURCE_DIR) + "/tarnquill/tarnquill.xsd";

}  // namespace

std::string Validate(const std::wstring& path) {
    if (!std::filesystem::exists(kSchema)) return "no schema at " + kSchema;
    std::string errors;
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(kSchema.c_str());
    xmlSchemaSetParserErrors(parser, CollectError, CollectError, &errors);
    xmlSchemaPtr schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) return "schema did not load: " + errors;
    xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidErrors(valid, CollectError, CollectError, &errors);
    const int rc = xmlSchemaValidateFile(valid, NativePath(path).c_str(), 0);
    xmlSchemaFreeValidCtxt(valid);
    xmlSchemaFree(schema);
    if (rc != 0 && errors.empty()) errors = "invalid (code " + std::to_string(rc) + ")";
    return errors;
}

std::string Compile(const std::wstring& path) {
    try {
        tarnquill::CompileOptions options;
        const tarnquill::CompileResult result = tarnquill::CompileFile(NativePath(path), options);
        // To play what a test compiled: BC_KEEP_SLIDES_SWF names the file the last movie goes to.
        if (const char* keep = std::getenv("BC_KEEP_SLIDES_SWF")) tarnquill::WriteFileAtomically(keep, result.swf);
        return result.swf.size() > 20 ? std::string() : "no movie";
    } catch (const tarnquill::CompileError& e) {
        return e.Message() + " at " + e.Element() + "/" + e.Attribute() + " line " + std::to_string(e.Line());
    }
}

std::string U8(const std::wstring& text) { return Utf8FromWide(text); }

std::string FailureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const CBaseException& e) {
        return "failure: " + U8(e.GetMessage());
    } catch (const libimageanalyzer::CBaseException& e) {
        return "image failure: " + U8(e.GetMessage());
    } catch (const std::exception& e) {
        return std::string("exception: ") + e.what();
    }
    return std::string();
}

std::vector<XmlElementPtr> Children(const XmlNodePtr& parent, const std::wstring& name) {
    std::vector<XmlElementPtr> found;
    for (XmlNodePtr node = parent ? parent->firstChild() : nullptr; node; node = node->nextSibling())
        if (node->nodeName() == name) found.push_back(std::dynamic_pointer_cast<xmldom::XmlElement>(node));
    return found;
}

XmlElementPtr Child(const XmlNodePtr& parent, const std::wstring& name, int nth) {
    std::vector<XmlElementPtr> found = Children(parent, name);
    return nth < static_cast<int>(found.size()) ? found[static_cast<std::size_t>(nth)] : nullptr;
}

XmlElementPtr FindById(const XmlNodePtr& parent, const std::wstring& id) {
    for (XmlNodePtr node = parent ? parent->firstChild() : nullptr; node; node = node->nextSibling()) {
        auto element = std::dynamic_pointer_cast<xmldom::XmlElement>(node);
        if (!element) continue;
        if (element->getAttribute(L"id") == id) return element;
        if (XmlElementPtr inner = FindById(element, id)) return inner;
    }
    return nullptr;
}

std::string DescribeFrames(const XmlNodePtr& layer) {
    std::string out;
    for (const XmlElementPtr& frame : Children(layer, L"frame")) {
        if (!out.empty()) out += "; ";
        out += U8(frame->getAttribute(L"index")) + ":";
        for (XmlNodePtr c = frame->firstChild(); c; c = c->nextSibling()) {
            auto command = std::dynamic_pointer_cast<xmldom::XmlElement>(c);
            if (!command) continue;
            const std::wstring name = command->nodeName();
            if (name == L"show") {
                out += " show " + U8(command->getAttribute(L"objectId"));
            } else if (name == L"hide") {
                out += " hide " + U8(command->getAttribute(L"showId"));
            } else if (name == L"startSoundStream") {
                out += " startSound " + U8(command->getAttribute(L"objectId")) + " trim " +
                       U8(command->getAttribute(L"trimFrames"));
            } else if (name == L"actions") {
                for (XmlNodePtr a = c->firstChild(); a; a = a->nextSibling()) {
                    auto action = std::dynamic_pointer_cast<xmldom::XmlElement>(a);
                    if (!action) continue;
                    out += " " + U8(action->nodeName());
                    for (const wchar_t* attribute : {L"spriteName", L"index", L"url", L"target"})
                        if (action->hasAttribute(attribute)) out += " " + U8(action->getAttribute(attribute));
                }
            } else {
                out += " " + U8(name);
            }
        }
    }
    return out;
}

std::vector<std::string> DescribeLayers(const XmlElementPtr& layers) {
    std::vector<std::string> out;
    for (const XmlElementPtr& layer : Children(layers, L"layer")) out.push_back(DescribeFrames(layer));
    return out;
}

}  // namespace slidetest
