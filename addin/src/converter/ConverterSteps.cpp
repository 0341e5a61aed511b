// The converter's links to the movie document, the compiler driver, PowerPoint's window and
// the interface language.

#include "addin/converter/PresentationConverter.h"

#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"
#include "addin/shell/ShellServices.h"
#include "genswf/compiler/CompileSwf.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"

void CPresentationConverter::ExportMovieDescription(const std::wstring& xmlFileName) {
    const std::shared_ptr<genswf::CExportSettings> exportSettings = genswf::CExportSettings::Create(m_presentation);
    exportSettings->SetProgressSink(m_progressSink);
    exportSettings->SetMovieSize(m_settings->MovieWidth, m_settings->MovieHeight);
    exportSettings->SetAutomaticSlideTransition(m_settings->AutomaticSlideTransition);
    exportSettings->SetAutomaticSlideTransitionDelay(m_settings->AutomaticSlideTransitionDelay);
    exportSettings->SetTempFolder(m_tempFolder);
    exportSettings->SetImageQuality(m_settings->KeepOriginalImageQuality, m_settings->ImageQuality);
    // Linked text of the parsed path stays plain text in an export.
    exportSettings->SetTextHyperlinks(false);
    exportSettings->SetSlideRange(m_slideRange);
    exportSettings->ReadSlides(m_slideRange);

    m_movie = genswf::CMovie::Create(exportSettings);
    m_movie->SetFrameRate(m_settings->FrameRate);
    m_movie->SetLoopAllowed(true);
    m_movie->SetOneFramePerSlide(true);
    m_movie->Export(xmlFileName);
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
