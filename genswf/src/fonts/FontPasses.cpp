// The font passes: a piece of text cut into stretches that one font shows and one link covers.
//
// Skeleton: the passes are not built yet.

#include "genswf/fonts/FontManager.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/SwfTextField.h"
#include "genswf/text/TextParagraph.h"
#include "genswf/text/TextPiece.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

std::vector<std::shared_ptr<CTextPiece>> CFontManager::CollectRunFonts(const std::shared_ptr<CPptTextRange>& /*run*/,
                                                                       CTextParagraph& /*paragraph*/) {
    NotBuilt(L"CFontManager::CollectRunFonts");
}

std::shared_ptr<CTextPiece> CFontManager::CollectBulletFont(CTextParagraph& /*paragraph*/) {
    NotBuilt(L"CFontManager::CollectBulletFont");
}

void CFontManager::CollectParsedRunFonts(CTextWordItem& /*word*/, CTextLineItem& /*line*/,
                                         std::vector<CRefPtr<SwfTextField>>& /*fields*/) {
    NotBuilt(L"CFontManager::CollectParsedRunFonts");
}

CRefPtr<SwfTextField> CFontManager::CollectParsedBulletFont(CTextParagraphItem& /*paragraph*/) {
    NotBuilt(L"CFontManager::CollectParsedBulletFont");
}

}  // namespace genswf
