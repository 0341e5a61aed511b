// The movie export: the one pass that turns the collected slides into the movie description.

#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

void CMovie::Export(const std::wstring& /*fileName*/) { NotBuilt(L"CMovie::Export"); }
void CMovie::ExportSlidePictures(const std::wstring& /*folder*/) { NotBuilt(L"CMovie::ExportSlidePictures"); }
void CMovie::ExportFonts() { NotBuilt(L"CMovie::ExportFonts"); }
void CMovie::ExportHyperlinks() { NotBuilt(L"CMovie::ExportHyperlinks"); }
void CMovie::ExportObjects() { NotBuilt(L"CMovie::ExportObjects"); }
void CMovie::ExportOnClickButton() { NotBuilt(L"CMovie::ExportOnClickButton"); }
void CMovie::ExportBackgrounds() { NotBuilt(L"CMovie::ExportBackgrounds"); }

}  // namespace genswf
