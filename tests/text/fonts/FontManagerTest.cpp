// The font table and the font manager: name lists, shared faces, stand-by faces, and the fonts
// written at the end of an export.
#include "FontsFixture.h"

#include "genswf/fonts/FontManager.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/host/PowerPointHost.h"

using namespace genswf;
using namespace fontstest;

namespace {

// The PowerPoint font snapshot of a one-run text box.
std::shared_ptr<CPptFont> Snapshot(const PowerPoint::Host::FontData& data) {
    using namespace PowerPoint::Host;
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* shape = doc->AddSlide()->AddShape(PowerPoint::msoTextBox, L"Box", 0, 0, 100, 50);
    shape->data.hasTextFrame = PowerPoint::msoTrue;
    shape->data.text.AddRun(L"x", data);
    PowerPoint::TextFrame* frame = nullptr;
    EXPECT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
    auto wrapper = CreatePptTextFrame(frame);
    frame->Release();
    PowerPoint::TextRange* range = wrapper->GetTextRange();
    auto text = CreatePptTextRange(range);
    range->Release();
    return text->GetFont();
}

std::vector<std::wstring> Names(const FontNameList& list) {
    return std::vector<std::wstring>(list.names, list.names + list.count);
}

}  // namespace

TEST(FontTable, StandByFacesByKind) {
    const CFontTable* table = CFontTable::GetGlobal();
    ASSERT_TRUE(table);
    EXPECT_EQ(std::vector<std::wstring>{L"Arial"}, table->GetNamesOfKind(1));
    EXPECT_EQ((std::vector<std::wstring>{L"Webdings", L"Wingdings", L"Wingdings 2", L"Wingdings 3"}),
              table->GetNamesOfKind(2));
    EXPECT_TRUE(table->GetNamesOfKind(0).empty());
    EXPECT_TRUE(table->GetNamesOfKind(3).empty());
}

TEST(FontManager, NameListsFromAPowerPointFont) {
    PowerPoint::Host::FontData data;
    data.name = L"Tahoma";
    data.nameAscii = L"Verdana";
    data.nameComplexScript = L"Mangal";
    data.nameOther = L"Tahoma";
    data.nameFarEast = L"MS Mincho";
    data.bold = PowerPoint::msoTrue;
    data.italic = PowerPoint::msoTriStateMixed;
    auto font = Snapshot(data);
    FontNameList ascii = CFontManager::MakeFontNameList(*font, true);
    EXPECT_EQ((std::vector<std::wstring>{L"Verdana", L"Tahoma", L"Mangal", L"MS Mincho"}), Names(ascii));
    FontNameList other = CFontManager::MakeFontNameList(*font, false);
    EXPECT_EQ((std::vector<std::wstring>{L"Tahoma", L"Mangal", L"MS Mincho", L"Verdana"}), Names(other));
    EXPECT_TRUE(ascii.bold);
    EXPECT_FALSE(ascii.italic);  // mixed is not italic

    PowerPoint::Host::FontData same;  // Name, NameAscii and NameOther all "Arial"
    same.bold = PowerPoint::msoCTrue;
    FontNameList once = CFontManager::MakeFontNameList(*Snapshot(same), true);
    EXPECT_EQ(std::vector<std::wstring>{L"Arial"}, Names(once));
    EXPECT_FALSE(once.bold);  // only -1 is true
}

TEST(FontManager, KeysShareFacesAndAreTurnedIntoFontsOnce) {
    FakeFonts fake;
    fake.Add(L"Arial", SimpleFont("Liberation Sans", L"ab"));
    fake.Add(L"Arial", SimpleFont("Liberation Sans", L"ab", true), true, false);
    fake.Add(L"arial", SimpleFont("Liberation Sans", L"ab"));
    fake.Add(L"Helvetica", SimpleFont("Liberation Sans", L"ab"));
    auto movie = CMovie::CreateEmpty();
    CFontManager manager(movie.get());

    auto regular = manager.FindOrCreateFont({L"Arial", false, false}, L'a', 1);
    auto again = manager.FindOrCreateFont({L"Arial", false, false}, L'b', 1);
    auto bold = manager.FindOrCreateFont({L"Arial", true, false}, L'a', 1);
    ASSERT_TRUE(regular && bold);
    EXPECT_EQ(regular, again);
    EXPECT_NE(regular, bold);
    EXPECT_EQ(2u, fake.requests.size());

    // Another name of a loaded face: a new key, the same font.
    EXPECT_EQ(regular, manager.FindOrCreateFont({L"arial", false, false}, L'a', 1));
    EXPECT_EQ(regular, manager.FindOrCreateFont({L"Helvetica", false, false}, L'b', 1));
    EXPECT_EQ(4u, manager.GetEntries().size());
    EXPECT_EQ(L"ab", regular->GetUsedChars());

    // A key whose font lacks the character is not turned into a font again.
    const std::size_t asked = fake.requests.size();
    EXPECT_FALSE(manager.FindOrCreateFont({L"Arial", false, false}, L'z', 1));
    EXPECT_FALSE(manager.FindOrCreateFont({L"Arial", false, false}, L'z', 1));
    EXPECT_EQ(asked, fake.requests.size());
}

TEST(FontManager, StandByFacesWhenTheSystemHasNone) {
    FakeFonts fake;
    fake.Add(L"Arial", SimpleFont("Liberation Sans", L"ab"));
    auto movie = CMovie::CreateEmpty();
    CFontManager manager(movie.get());

    auto standBy = manager.FindOrCreateFont({L"Nowhere", false, false}, L'a', 1);
    ASSERT_TRUE(standBy);
    EXPECT_TRUE(standBy->IsFallback());
    EXPECT_EQ(1, standBy->GetFallbackKind());
    EXPECT_EQ(L"Liberation Sans", standBy->GetFamilyName());
    // "Arial" itself shares the stand-by font.
    EXPECT_EQ(standBy, manager.FindOrCreateFont({L"Arial", false, false}, L'b', 1));
    EXPECT_EQ(2u, manager.GetEntries().size());
    // The stand-by entry answers only its own kind.
    EXPECT_EQ(standBy, manager.FindOrCreateFont({L"Nowhere", false, false}, L'b', 1));
    EXPECT_FALSE(manager.FindOrCreateFont({L"Nowhere", false, false}, L'b', 2));
}

TEST(FontManager, SymbolCharacterFallsThroughThePictureFacesInOrder) {
    FakeFonts fake;
    fake.Add(L"Tahoma", SimpleFont("Tahoma", L"ab"));
    fake.Add(L"Webdings", SimpleFont("Webdings", L"\xF041", false, false, true));
    fake.Add(L"Wingdings 2", SimpleFont("Wingdings 2", L"\xF0A7", false, false, true));
    auto movie = CMovie::CreateEmpty();
    CFontManager manager(movie.get());

    FontNameList list;
    list.Add(L"Tahoma");
    auto font = manager.FindFontForChar(list, 0xF0A7, 3);
    ASSERT_TRUE(font);
    EXPECT_EQ(L"Wingdings 2", font->GetFamilyName());
    EXPECT_EQ(std::wstring(L"\xA7"), font->GetUsedChars());
    // Tahoma, then the picture faces in table order; each missing face tries "Symbol" once.
    EXPECT_EQ((std::vector<std::wstring>{L"Tahoma", L"Symbol", L"Webdings", L"Wingdings", L"Symbol", L"Wingdings 2"}),
              fake.requests);
    // Nothing shows it: null, and no font records it.
    EXPECT_FALSE(manager.FindFontForChar(list, 0xF0FE, 3));
    for (const FontEntry& e : manager.GetEntries())
        EXPECT_EQ(std::wstring::npos, e.font->GetUsedChars().find(wchar_t(0xFE)));
}

TEST(FontManager, OnlyUsedFontsAreSavedAndWrittenEachOnce) {
    FakeFonts fake;
    fake.Add(L"Arial", SimpleFont("Liberation Sans", L"ab"));
    fake.Add(L"Tahoma", SimpleFont("Tahoma", L"xy"));
    auto movie = CMovie::CreateEmpty();
    CFontManager manager(movie.get());
    auto arial = manager.FindOrCreateFont({L"Arial", false, false}, L'b', 1);
    manager.FindOrCreateFont({L"ARIAL", false, false}, L'a', 1);
    auto tahoma = manager.FindOrCreateFont({L"Tahoma", false, false}, L'q', 1);  // lacks it: unused
    ASSERT_TRUE(arial);
    EXPECT_FALSE(tahoma);
    ASSERT_EQ(3u, manager.GetEntries().size());

    const std::wstring folder = CreateUniqueTempFolder(L"fontmgr", L".tmp", GetTempFolder());
    manager.ExportFonts(folder);
    const auto& objects = manager.GetObjects()->GetObjects();
    ASSERT_EQ(1u, objects.size());
    auto definition = std::dynamic_pointer_cast<CFontObject>(objects[0]);
    ASSERT_TRUE(definition);
    EXPECT_EQ(arial->GetId(), definition->GetId());
    EXPECT_EQ(arial->GetId(), definition->name);
    EXPECT_EQ(arial->GetFileName(), definition->src);
    EXPECT_EQ(L"ba", definition->chars);
    EXPECT_TRUE(FileExists(arial->GetFileName()));
    EXPECT_FALSE(FileExists(IncludeTrailingBackslash(folder) + L"fnt1.ttf"));

    auto parent = movie->GetObjectsElement();
    manager.WriteFontElements(parent);
    const std::wstring xml = parent->xml();
    EXPECT_EQ(xml.find(L"<font "), xml.rfind(L"<font ")) << Utf8FromWide(xml);
    EXPECT_NE(std::wstring::npos, xml.find(L"chars=\"ba\""));
    DeleteFolderTree(folder, true);
}

TEST(FontManager, CharacterStyleFontsOnlyWhenAskedFor) {
    auto movie = CMovie::CreateEmpty();
    CFontManager manager(movie.get());
    EXPECT_FALSE(manager.GetUseCharacterStyleFonts());
    EXPECT_FALSE(manager.FindFontFromCharacterStyle(static_cast<const libpptparser::CTextFrame*>(nullptr), 0, 1));
    manager.SetUseCharacterStyleFonts(true);
    EXPECT_FALSE(manager.FindFontFromCharacterStyle(static_cast<const libpptparser::CShape*>(nullptr), 0, 1));
}
