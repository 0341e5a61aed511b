// The export settings of one export.

#include "genswf/movie/ExportSettings.h"

#include "genswf/movie/LogFile.h"
#include "genswf/ppt/PptMaster.h"
#include "genswf/ppt/PptPresentation.h"
#include "genswf/utils/Exceptions.h"

#include <algorithm>
#include <cmath>

namespace genswf {

namespace {

// Larger than any slide a presentation can describe, small enough that the movie size derived
// from it stays an int.
constexpr float kMaxSlideSide = 100000.0f;

bool IsUsableSlideSide(float points) { return std::isfinite(points) && points > 0.0f && points <= kMaxSlideSide; }

// The OLE objects whose ProgID marks an embedded Flash movie: the version-independent name and
// the numbered ones registered by the player's versions.
std::vector<std::wstring> FlashProgIds() {
    std::vector<std::wstring> ids{L"ShockwaveFlash.ShockwaveFlash"};
    for (int version = 1; version <= 10; ++version)
        ids.push_back(L"ShockwaveFlash.ShockwaveFlash." + IntToWString(version));
    return ids;
}

}  // namespace

const wchar_t* const CExportSettings::kLogFileName = L"export.log";

std::shared_ptr<CExportSettings> CExportSettings::Create(PowerPoint::_Presentation* presentation) {
    return std::make_shared<CExportSettings>(presentation);
}

CExportSettings::CExportSettings(PowerPoint::_Presentation* presentation)
    : m_presentation(CreatePptPresentation(presentation)), m_flashProgIds(FlashProgIds()) {
    // A presentation without a master keeps the standard 720 x 540 points.
    CComPtr<PowerPoint::_Master> masterPtr;
    if (presentation && presentation->get_SlideMaster(&masterPtr) >= 0 && masterPtr) {
        std::shared_ptr<CPptMaster> master = CreatePptMaster(masterPtr);
        const float width = master->GetWidth();
        const float height = master->GetHeight();
        // A size no slide can have would divide by zero or overflow the movie size later.
        if (IsUsableSlideSide(width) && IsUsableSlideSide(height)) {
            m_slideWidth = width;
            m_slideHeight = height;
            m_movieWidth = static_cast<int>(width + 0.5f);
            m_movieHeight = static_cast<int>(height + 0.5f);
        }
    }
    m_presentationPath = m_presentation->GetPath();
}

CExportSettings::~CExportSettings() = default;

void CExportSettings::SetMovieSize(int width, int height) {
    m_movieWidth = width;
    m_movieHeight = height;
}

void CExportSettings::SetTempFolder(const std::wstring& folder) {
    m_tempFolder = folder.empty() ? std::wstring() : IncludeTrailingBackslash(folder);
}

void CExportSettings::SetImageQuality(bool keepOriginalImageQuality, int imageQuality) {
    m_jpegQuality = keepOriginalImageQuality ? 0 : imageQuality;
}

void CExportSettings::SetSlideRange(PowerPoint::SlideRange* range) { m_slideRange = range; }

void CExportSettings::ReadSlides(PowerPoint::SlideRange* range) {
    CComPtr<PowerPoint::SlideRange> slides(range);
    if (!slides) {
        CComPtr<PowerPoint::Slides> all;
        all.Attach(m_presentation->GetSlidesPtr());
        VARIANT none;
        VariantInit(&none);
        if (all->Range(none, &slides) < 0 || !slides) THROW_PPT_EXCEPTION();
    }

    LONG count = 0;
    if (slides->get_Count(&count) < 0) THROW_PPT_EXCEPTION();
    std::vector<int> exported;
    for (LONG i = 1; i <= count; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        CComPtr<PowerPoint::_Slide> slide;
        if (slides->Item(index, &slide) < 0 || !slide) THROW_PPT_EXCEPTION();
        LONG slideIndex = 0;
        // A slide outside the presentation has no position to export it at.
        if (slide->get_SlideIndex(&slideIndex) < 0 || slideIndex < 1) THROW_PPT_EXCEPTION();
        exported.push_back(static_cast<int>(slideIndex - 1));
    }
    std::sort(exported.begin(), exported.end());
    exported.erase(std::unique(exported.begin(), exported.end()), exported.end());
    m_exportedSlides = std::move(exported);
}

int CExportSettings::GetSlidePosition(int slideIndex) const {
    const auto it = std::lower_bound(m_exportedSlides.begin(), m_exportedSlides.end(), slideIndex);
    if (it == m_exportedSlides.end() || *it != slideIndex) return -1;
    return static_cast<int>(it - m_exportedSlides.begin());
}

int CExportSettings::GetPreviousSlidePosition(int slideIndex) const {
    const int position = GetSlidePosition(slideIndex);
    return position <= 0 ? -1 : position - 1;
}

int CExportSettings::GetNextSlidePosition(int slideIndex) const {
    const int position = GetSlidePosition(slideIndex);
    if (position < 0 || position + 1 >= static_cast<int>(m_exportedSlides.size())) return -1;
    return position + 1;
}

int CExportSettings::GetLastSlidePosition() const { return static_cast<int>(m_exportedSlides.size()) - 1; }

std::shared_ptr<CLogFile> CExportSettings::GetLogFile() {
    if (!m_logFile) m_logFile = CLogFile::Create();
    // The log lives beside the export's other files: kept with them in debug mode, removed
    // with them otherwise.
    if (!m_logOpenTried && !m_tempFolder.empty()) {
        m_logOpenTried = true;
        m_logFile->Open(m_tempFolder + kLogFileName);
    }
    return m_logFile;
}

bool CExportSettings::IsFlashProgId(const std::wstring& progId) const {
    return std::find(m_flashProgIds.begin(), m_flashProgIds.end(), progId) != m_flashProgIds.end();
}

}  // namespace genswf
