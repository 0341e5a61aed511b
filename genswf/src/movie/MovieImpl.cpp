// The context of one export.

#include "genswf/movie/MovieImpl.h"

#include "com/ComBstr.h"
#include "genswf/movie/LogFile.h"
#include "genswf/movie/ParsedPresentation.h"
#include "genswf/ppt/PptPresentation.h"
#include "genswf/ppt/PptSlides.h"
#include "genswf/utils/Exceptions.h"
#include "libpptparser/Presentation.h"

namespace genswf {

const wchar_t* const CMovieImpl::kCopyFileName = L"~tmp.ppt";

CMovieImpl::CMovieImpl(std::shared_ptr<CExportSettings> settings) : m_settings(std::move(settings)) {
    if (!m_settings) throw CBaseException(0, LocatedMessage(L"No export settings", __FILE__, __LINE__));
    const std::shared_ptr<CLogFile> log = m_settings->GetLogFile();
    const std::shared_ptr<CPptPresentation>& presentation = m_settings->GetPresentation();
    log->WriteLine(L"Presentation export started.");
    log->WriteLine(L"Presentation: " + presentation->GetFullName());
    log->WriteLine(L"Number of slides: " + IntToWString(static_cast<int>(presentation->GetSlides()->GetCount())));
    log->WriteLine(L"Slide dimensions: " + FormatFloat(m_settings->GetSlideWidth(), 1) + L" x " +
                   FormatFloat(m_settings->GetSlideHeight(), 1));
}

CMovieImpl::~CMovieImpl() {
    try {
        m_settings->GetLogFile()->WriteLine(L"Presentation export finished");
    } catch (...) {
        // The log is best effort; a destructor must not throw.
    }
    // The members then go in reverse order: parsed model, images, settings.
}

std::wstring CMovieImpl::AddImage(const std::wstring& path, const std::wstring& name) {
    return m_images.AddImage(path, name);
}

std::shared_ptr<libpptparser::CPresentation> CMovieImpl::GetParsedPresentation() {
    if (!m_parsedPresentation) {
        if (m_parseFailure) std::rethrow_exception(m_parseFailure);
        try {
            m_parsedPresentation = ParsePresentationCopy();
        } catch (...) {
            m_parseFailure = std::current_exception();
            throw;
        }
    }
    return m_parsedPresentation;
}

std::shared_ptr<libpptparser::CSlidesCollection> CMovieImpl::GetParsedSlides() {
    return GetParsedPresentation()->GetSlides();
}

std::shared_ptr<libpptparser::CSlide> CMovieImpl::GetParsedSlide(std::size_t i) {
    const std::shared_ptr<libpptparser::CSlidesCollection> slides = GetParsedSlides();
    return slides ? slides->GetItem(i) : nullptr;
}

std::shared_ptr<libpptparser::CPresentation> CMovieImpl::ParsePresentationCopy() {
    // Without a temporary folder the copy would land in whatever folder the process runs in.
    if (m_settings->GetTempFolder().empty())
        throw CBaseException(0, LocatedMessage(L"No temporary folder for the presentation copy", __FILE__, __LINE__));
    const std::wstring path = IncludeTrailingBackslash(m_settings->GetTempFolder()) + kCopyFileName;

    CComPtr<PowerPoint::_Presentation> presentation;
    presentation.Attach(m_settings->GetPresentation()->GetPresentationPtr());
    if (!presentation) THROW_PPT_EXCEPTION();
    // The copy is saved from a presentation marked saved, but the user's own mark comes back on
    // every path: an export must never make unsaved edits look saved.
    PowerPoint::MsoTriState saved = PowerPoint::msoTrue;
    if (presentation->get_Saved(&saved) < 0) THROW_PPT_EXCEPTION();
    const bool marked = saved != PowerPoint::msoTrue;
    if (marked && presentation->put_Saved(PowerPoint::msoTrue) < 0) THROW_PPT_EXCEPTION();
    CBstr fileName(path);
    const HRESULT hr = presentation->SaveCopyAs(fileName, PowerPoint::ppSaveAsPresentation, PowerPoint::msoFalse);
    if (marked && presentation->put_Saved(saved) < 0) THROW_PPT_EXCEPTION();
    if (hr < 0) THROW_PPT_EXCEPTION();

    const std::shared_ptr<CLogFile> log = m_settings->GetLogFile();
    log->WriteLine(L"Presentation copy saved: " + path);
    std::shared_ptr<libpptparser::CPresentation> parsed = ParseSavedPresentation(path);
    if (!parsed)
        throw CBaseException(kParseFailureCode,
                             LocatedMessage(L"The presentation cannot be read: " + path, __FILE__, __LINE__));
    for (const std::wstring& warning : parsed->GetWarnings()) log->WriteLine(L"Parser warning: " + warning);
    return parsed;
}

}  // namespace genswf
