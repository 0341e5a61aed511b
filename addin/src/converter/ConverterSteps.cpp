// The converter's links to the movie document, the compiler driver, PowerPoint's window and
// the interface language.

#include "addin/converter/PresentationConverter.h"

#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"
#include "addin/shell/ShellServices.h"
#include "genswf/compiler/CompileSwf.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/LogFile.h"
#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"

namespace addin {

void CPresentationConverter::ExportMovieDescription(const std::wstring& xmlFileName) {
    const std::shared_ptr<genswf::CExportSettings> exportSettings = genswf::CExportSettings::Create(m_presentation);
    exportSettings->SetProgressSink(m_progressSink);
    exportSettings->SetMovieSize(m_settings->MovieWidth, m_settings->MovieHeight);
    exportSettings->SetAutomaticSlideTransition(m_settings->AutomaticSlideTransition);
    exportSettings->SetAutomaticSlideTransitionDelay(m_settings->AutomaticSlideTransitionDelay);
    exportSettings->SetTempFolder(m_tempFolder);
    // The scratch folder goes at the end; what a debugging run keeps is kept whole.
    exportSettings->SetRemoveSpentPictures(!m_settings->DebugMode);
    exportSettings->SetImageQuality(m_settings->KeepOriginalImageQuality, m_settings->ImageQuality);
    // Linked text of the parsed path stays plain text in an export.
    exportSettings->SetTextHyperlinks(false);
    exportSettings->SetSlideRange(m_slideRange);
    exportSettings->ReadSlides(m_slideRange);

    m_log = exportSettings->GetLogFile();
    m_movie = genswf::CMovie::Create(exportSettings);
    m_movie->SetFrameRate(m_settings->FrameRate);
    m_movie->SetLoopAllowed(true);
    m_movie->SetOneFramePerSlide(true);
    m_movie->SetDescriptionCheckBeside(true);
    m_movie->Export(xmlFileName);
}

namespace {

// "line 3, element "font", attribute "src": message" says where in the movie description;
// the user has only the message to go by.
std::wstring WithoutDescriptionPlace(const std::wstring& warning) {
    if (warning.compare(0, 5, L"line ") != 0 && warning.compare(0, 9, L"element \"") != 0) return warning;
    const std::size_t colon = warning.find(L": ");
    return colon == std::wstring::npos ? warning : warning.substr(colon + 2);
}

}  // namespace

void CPresentationConverter::CompileSwf(const std::wstring& xmlPath, std::vector<std::uint8_t>& bytes) {
    std::vector<std::wstring> warnings;
    genswf::CompileSwf(xmlPath, bytes, m_progressSink, &warnings);
    for (const std::wstring& warning : warnings) {
        if (m_log) m_log->WriteLine(L"Compiler warning: " + warning);
        if (m_progressSink) m_progressSink->AddWarning(WithoutDescriptionPlace(warning));
    }
}

PowerPoint::SlideRange* CPresentationConverter::GetCurrentSlideRange(PowerPoint::_Presentation* presentation) {
    return addin::GetCurrentSlideRange(presentation);
}

std::wstring CPresentationConverter::GetMessageString(const std::wstring& messageName) {
    CLanguageManager* manager = GetLanguageManager();
    return manager ? manager->GetMessageString(messageName) : std::wstring();
}

}  // namespace addin
