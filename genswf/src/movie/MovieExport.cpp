// The movie export: the passes that turn the collected slides into the movie description, the
// root timeline that shows one slide per frame, the hyperlink buttons, the on-click link and the
// slide backgrounds.

#include "genswf/fonts/FontManager.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/movie/MovieImpl.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptHyperlinks.h"
#include "genswf/ppt/PptPresentation.h"
#include "genswf/ppt/PptSlide.h"
#include "genswf/ppt/PptSlides.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/slides/SlideBackground.h"
#include "genswf/utils/Exceptions.h"

#include "base/system/Cores.h"

#include <algorithm>
#include <cwctype>
#include <deque>
#include <limits>

namespace genswf {

namespace {

// PowerPoint's PpActionType codes that move between slides without a hyperlink.
enum : LONG { kActionNextSlide = 1, kActionPreviousSlide = 2, kActionFirstSlide = 3, kActionLastSlide = 4 };

// Slides whose background comparison may run while the next slide is drawn.
constexpr std::size_t kBackgroundsAhead = 3;

std::wstring ShowSlideId(int position) { return L"showSlide" + IntToWString(position); }

std::uint32_t FrameNumber(int frame) {
    if (frame < 0) throw CBaseException(3, LocatedMessage(L"Negative frame number", __FILE__, __LINE__));
    return static_cast<std::uint32_t>(frame);
}

// The whole text as a 32-bit integer: decimal, or hexadecimal after "0x", "0X" or "#".
bool ReadWholeInteger(const std::wstring& text, long long& value) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) negative = text[at++] == L'-';
    int base = 10;
    if (text.compare(at, 2, L"0x") == 0 || text.compare(at, 2, L"0X") == 0) {
        base = 16;
        at += 2;
    } else if (at < text.size() && text[at] == L'#') {
        base = 16;
        at += 1;
    }
    if (at >= text.size()) return false;
    long long result = 0;
    for (; at < text.size(); ++at) {
        const wchar_t c = text[at];
        int digit = -1;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        if (digit < 0) return false;
        result = result * base + digit;
        if (result > std::numeric_limits<std::uint32_t>::max()) return false;
    }
    value = negative ? -result : result;
    return true;
}

// The scheme of an address ("http" of "http://..."), empty when it has none. A single letter
// before the colon is a drive, not a scheme.
std::wstring SchemeOf(const std::wstring& address) {
    for (std::size_t i = 0; i < address.size(); ++i) {
        const wchar_t c = address[i];
        if (c == L':') return i > 0 ? ToLowerCase(address.substr(0, i)) : std::wstring();
        const bool schemeChar =
            std::iswalpha(static_cast<wint_t>(c)) ||
            (i > 0 && (std::iswdigit(static_cast<wint_t>(c)) || c == L'+' || c == L'-' || c == L'.'));
        if (!schemeChar) return std::wstring();
    }
    return std::wstring();
}

}  // namespace

bool IsSafeMovieUrl(const std::wstring& address) {
    const std::wstring trimmed = Trim(address);
    if (trimmed.empty()) return false;
    const std::wstring scheme = SchemeOf(trimmed);
    if (!scheme.empty()) {
        if (scheme.size() == 1) return false;  // "C:\..." or "c:/...": an absolute file name
        for (const wchar_t* allowed : {L"http", L"https", L"mailto", L"ftp"})
            if (scheme == allowed) return true;
        return false;
    }
    // Without a scheme: a file name relative to the movie, never a rooted or network path.
    return trimmed[0] != L'/' && trimmed[0] != L'\\';
}

void CMovie::Export(const std::wstring& fileName) {
    Log(L"CMovie::Export started");
    const int n = static_cast<int>(m_slides.size());
    const COLORREF background = m_settings ? m_settings->GetBackgroundColor() : 0xFFFFFF;
    const bool objectsFirst = m_settings && m_settings->GetObjectsFirst();
    WriteMovieAttributes(m_movieWidth, m_movieHeight, static_cast<unsigned>(std::max(0, m_frameRate)), background,
                         objectsFirst);

    ExportSlidePictures(GetTempFolder());

    std::shared_ptr<CFrameList> root = CreateFrameList(this);
    std::shared_ptr<CFrameTrack> mainTrack = root->AddTrack();

    m_progress->SetTask(TASK_EXPORT_XML);
    m_progress->SetSlideCount(n);

    Log(L"Exporting fonts");
    ExportFonts();

    Log(L"Exporting slides");
    m_slideStartFrames.clear();
    const bool looping = IsLooping();
    const bool advanceOnClick = m_settings && m_settings->GetAdvanceOnClick() && !m_settings->GetHyperlinkButtons();
    for (int i = 0; i < n; ++i) {
        const std::shared_ptr<CSlide>& slide = m_slides[static_cast<std::size_t>(i)];
        m_progress->SetSlide(i);
        Log(L"Exporting slide " + IntToWString(i));
        if (advanceOnClick && i + 1 < n) slide->SetFrameButton(true);
        slide->Export(m_objectsElement);
        slide->GetSlideDuration();  // the root timeline keeps one frame per slide whatever it lasts

        const std::uint32_t start = FrameNumber(GetSlideStartFrame(i));
        m_slideStartFrames.push_back(static_cast<int>(start));
        mainTrack->AddShow(start, slide->GetSpriteId(), CMatrix())->showId = ShowSlideId(i);
        mainTrack->AddActions(start)->GetActions().AddStop();
        if (i + 1 < n || looping) mainTrack->AddHide(FrameNumber(GetSlideStartFrame(i + 1)), ShowSlideId(i));
        m_sequenceTally += slide->GetSequenceCount();
    }

    ExportHyperlinks();
    if (IsObjectExportEnabled()) ExportObjects();
    if (!m_settings || m_settings->GetOnClickLink()) ExportOnClickButton();

    // The end frame: the movie starts over or stays on its last slide.
    std::shared_ptr<CFrameTrack> last = root->GetLatestTrack();
    if (!last) last = mainTrack;
    CActionList& endActions = last->AddActions(FrameNumber(GetSlideStartFrame(n)))->GetActions();
    if (looping)
        endActions.AddGoToFrame(0);
    else
        endActions.AddStop();
    if (root->HasCommands()) root->Write(WriteLayer(m_layersElement), 0);

    ExportBackgrounds();
    SaveXml(GetTempFolder() + fileName);
    Log(L"Movie description saved: " + GetTempFolder() + fileName);
}

void CMovie::ExportSlidePictures(const std::wstring& folder) {
    const int n = static_cast<int>(m_slides.size());
    m_progress->SetSlideCount(n);
    m_progress->SetTask(TASK_EXPORT_FILES);
    for (int i = 0; i < n; ++i) {
        m_progress->SetSlide(i);
        m_slides[static_cast<std::size_t>(i)]->ExportShapePictures(folder);
    }
}

void CMovie::ExportFonts() {
    if (IsObjectExportEnabled()) return;
    m_fontManager->ExportFonts(GetTempFolder());
    m_fontManager->WriteFontElements(m_objectsElement);
}

void CMovie::ExportObjects() {
    m_fontManager->ExportFonts(GetTempFolder());
    m_fontManager->GetObjects()->WriteMembers(m_objectsElement);
    for (const std::shared_ptr<CSlide>& slide : m_slides) {
        slide->GetObjects()->WriteMembers(slide->GetObjectsElement());
        slide->GetLayers()->WriteMembers(slide->GetLayersElement());
    }
}

void CMovie::ExportHyperlinks() {
    if (!m_settings || !m_settings->GetHyperlinkButtons()) return;
    const int lastPosition = m_settings->GetLastSlidePosition();
    for (const std::shared_ptr<CHyperlinkSource>& source : m_hyperlinkSources) {
        if (!source || !source->button) continue;
        const int slideIndex = static_cast<int>(source->slideId);
        const int p = m_settings->GetSlidePosition(slideIndex);
        if (p < 0) continue;  // a link on a slide that is not exported

        int target = -1;
        const std::shared_ptr<CActionSetting> setting =
            source->actionSettings && !source->actionSettings->IsEmpty() ? source->actionSettings->GetAt(0) : nullptr;
        CActionList& actions = source->button->GetActions();
        if (setting) {
            switch (setting->action) {
            case kActionNextSlide:
                if (p < lastPosition) target = m_settings->GetNextSlidePosition(slideIndex);
                break;
            case kActionPreviousSlide:
                if (p > 0) target = m_settings->GetPreviousSlidePosition(slideIndex);
                break;
            case kActionFirstSlide:
                if (p != 0) target = 0;
                break;
            case kActionLastSlide:
                if (p != lastPosition) target = lastPosition;
                break;
            default:
                if (setting->hyperlink) target = HyperlinkTarget(*setting->hyperlink, actions);
                break;
            }
        }
        if (target >= 0) {
            if (static_cast<std::size_t>(target) < m_slideStartFrames.size()) {
                actions.AddSetTarget(L"/");
                actions.AddGoToFrame(m_slideStartFrames[static_cast<std::size_t>(target)]);
            } else {
                Warn(L"A link to slide position " + IntToWString(target + 1) +
                     L" is left out: the movie has no such slide.");
            }
        }
        source->button->Write(m_objectsElement);
    }
}

int CMovie::HyperlinkTarget(const CPptHyperlink& hyperlink, CActionList& actions) {
    const std::wstring& address = hyperlink.GetAddress();
    const std::wstring& subAddress = hyperlink.GetSubAddress();
    if (!address.empty()) {
        if (IsSafeMovieUrl(address))
            actions.AddGetURL(address, L"_blank");
        else
            Warn(L"A link to " + address + L" is left out: movies do not open such addresses.");
        return -1;
    }
    if (subAddress.empty()) return -1;

    std::vector<std::wstring> parts;
    SplitString(subAddress, L",", parts);
    int target = -1;
    long long number = 0;
    if (!parts.empty() && ReadWholeInteger(parts[0], number) && m_presentation) {
        if (const std::shared_ptr<CPptSlides> slides = m_presentation->GetSlides())
            if (const std::shared_ptr<CPptSlide> slide = slides->FindBySlideId(static_cast<LONG>(number)))
                target = m_settings->GetSlidePosition(static_cast<int>(slide->GetSlideIndex()));
    }
    if (target < 0 && parts.size() >= 2) {
        bool stoppedEarly = false;
        const int slideNumber = WStringToInt(parts[1], stoppedEarly);
        if (slideNumber > 0) target = m_settings->GetSlidePosition(slideNumber - 1);
    }
    if (target < 0) Warn(L"A link to " + subAddress + L" is left out: it names no slide of the movie.");
    return target;
}

void CMovie::ExportOnClickButton() {
    if (!m_onClickUrlEnabled || m_onClickUrl.empty()) return;
    if (!IsSafeMovieUrl(m_onClickUrl)) {
        Warn(L"The movie's on-click address " + m_onClickUrl + L" is left out: movies do not open such addresses.");
        return;
    }
    const float width = static_cast<float>(m_movieWidth);
    const float height = static_cast<float>(m_movieHeight);
    const std::wstring rect = NewRectId();
    const std::wstring style = NewStyleId();
    WriteSolidFillStyle(m_stylesElement, style, 0, 0);
    XmlElementPtr rectangle = WriteRectangle(m_objectsElement, rect, 0.0f, 0.0f, width, height);
    SetElementAttribute(rectangle, L"fillStyle", style);

    const std::wstring buttonId = NewButtonId();
    XmlElementPtr button = WriteButton(m_objectsElement, buttonId, L"push", rect, rect, rect, rect);
    std::shared_ptr<CActionGetURL> getUrl = CreateActionGetURL(this, m_onClickUrl);
    getUrl->target = m_onClickTarget;
    getUrl->Write(button);

    std::shared_ptr<CFrameList> frames = CreateFrameList(this);
    frames->AddTrack()->AddShow(0, buttonId, CMatrix());
    frames->Write(WriteLayer(m_layersElement), 0);
}

void CMovie::ExportBackgrounds() {
    Log(L"Exporting slides backgrounds");
    // A pass of its own over every slide: the slide bar runs again, the shape bar rests.
    m_progress->SetShapeCount(0);
    // The two pictures of a slide are compared while the next slides are drawn; a few slides
    // wait for their comparison at most, so their pictures do not pile up.
    const unsigned cores = base::system::UsableCores();
    const std::size_t ahead = cores > 1 ? std::min<std::size_t>(cores - 1, kBackgroundsAhead) : 0;
    CBackgroundComparisons comparisons(static_cast<unsigned>(ahead));
    std::deque<std::shared_ptr<CSlide>> waiting;
    for (std::size_t i = 0; i < m_slides.size(); ++i) {
        m_progress->SetSlide(static_cast<int>(i));
        Log(L"Exporting slide " + IntToWString(static_cast<int>(i)) + L" background");
        m_slides[i]->StartBackground(comparisons);
        waiting.push_back(m_slides[i]);
        if (waiting.size() > ahead) {
            waiting.front()->FinishBackground();
            waiting.pop_front();
        }
    }
    for (; !waiting.empty(); waiting.pop_front()) waiting.front()->FinishBackground();
}

}  // namespace genswf
