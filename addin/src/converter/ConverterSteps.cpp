// The converter's links to the movie document, the compiler driver, PowerPoint's window and
// the interface language.

#include "addin/converter/PresentationConverter.h"

#include "addin/language/LanguageManager.h"
#include "addin/shell/ShellServices.h"
#include "genswf/compiler/CompileSwf.h"
#include "genswf/utils/Exceptions.h"

void CPresentationConverter::ExportMovieDescription(const std::wstring& /*xmlFileName*/) {
    // Filled in when the movie document joins the build.
    throw genswf::CBaseException(0, L"The movie export is not available in this build.");
}

void CPresentationConverter::CompileSwf(const std::wstring& xmlPath, std::vector<std::uint8_t>& bytes) {
    genswf::CompileSwf(xmlPath, bytes);
}

PowerPoint::SlideRange* CPresentationConverter::GetCurrentSlideRange(PowerPoint::_Presentation* presentation) {
    return ::GetCurrentSlideRange(presentation);
}

std::wstring CPresentationConverter::GetMessageString(const std::wstring& messageName) {
    CLanguageManager* manager = GetLanguageManager();
    return manager ? manager->GetMessageString(messageName) : std::wstring();
}
