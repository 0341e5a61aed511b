#pragma once
// Everything one export needs besides the presentation itself: the user's choices, values read
// from the presentation, which slides go out, and the working objects (temporary folder,
// progress sink, log). The converter fills it before the movie exists; afterwards only the log
// changes.

#include "genswf/utils/Utils.h"
#include "powerpoint/model/PowerPoint.h"

#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CLogFile;
class CPptPresentation;
class CProgressSink;
class CNavigationListener;

class CExportSettings {
public:
    // Reads the slide size from the master (when there is one) and the presentation's path.
    static std::shared_ptr<CExportSettings> Create(PowerPoint::_Presentation* presentation);

    explicit CExportSettings(PowerPoint::_Presentation* presentation);
    virtual ~CExportSettings();
    CExportSettings(const CExportSettings&) = delete;
    CExportSettings& operator=(const CExportSettings&) = delete;

    // --- Filled by the converter ---
    void SetProgressSink(CProgressSink* sink) { m_progressSink = sink; }
    void SetMovieSize(int width, int height);
    void SetAutomaticSlideTransition(bool on) { m_automaticSlideTransition = on; }
    void SetAutomaticSlideTransitionDelay(int seconds) {
        m_automaticSlideTransitionDelay = static_cast<float>(seconds);
    }
    // Kept with a trailing separator.
    void SetTempFolder(const std::wstring& folder);
    // 0 (each picture keeps its own quality) when the original quality is kept.
    void SetImageQuality(bool keepOriginalImageQuality, int imageQuality);
    // AddRef's the new range and releases the previous one.
    void SetSlideRange(PowerPoint::SlideRange* range);
    // Pictures that only served a comparison are removed once it is done, beside the export
    // (off unless set: a debugging run keeps every scratch file).
    void SetRemoveSpentPictures(bool on) { m_removeSpentPictures = on; }

    // Records the slides of the range (null: all slides) as the exported ones, replacing any
    // earlier set only when every read succeeded.
    void ReadSlides(PowerPoint::SlideRange* range);

    // --- Read by the movie and the exporters ---
    CProgressSink* GetProgressSink() const { return m_progressSink; }
    const std::wstring& GetPresentationPath() const { return m_presentationPath; }
    const std::shared_ptr<CPptPresentation>& GetPresentation() const { return m_presentation; }
    PowerPoint::SlideRange* GetSlideRange() const { return m_slideRange; }
    const std::wstring& GetTempFolder() const { return m_tempFolder; }
    int GetJpegQuality() const { return m_jpegQuality; }
    int GetMp3Quality() const { return m_mp3Quality; }
    float GetSlideWidth() const { return m_slideWidth; }
    float GetSlideHeight() const { return m_slideHeight; }
    int GetMovieWidth() const { return m_movieWidth; }
    int GetMovieHeight() const { return m_movieHeight; }
    bool GetAutomaticSlideTransition() const { return m_automaticSlideTransition; }
    float GetAutomaticSlideTransitionDelay() const { return m_automaticSlideTransitionDelay; }
    COLORREF GetBackgroundColor() const { return m_backgroundColor; }
    bool GetImageSmoothing() const { return m_imageSmoothing; }
    bool GetRemoveSpentPictures() const { return m_removeSpentPictures; }

    // 0-based slide indexes, ascending, each once.
    const std::vector<int>& GetExportedSlides() const { return m_exportedSlides; }
    // Position among the exported slides, or -1 when the slide is not exported.
    int GetSlidePosition(int slideIndex) const;
    int GetPreviousSlidePosition(int slideIndex) const;
    int GetNextSlidePosition(int slideIndex) const;
    int GetLastSlidePosition() const;

    // Made on the first call; opened as "export.log" in the temporary folder once that is known.
    std::shared_ptr<CLogFile> GetLogFile();
    // Exact, case-sensitive match against the ProgIDs of embedded Flash movies.
    bool IsFlashProgId(const std::wstring& progId) const;

    // --- Text options ---
    // Fonts from the saved presentation's character styles (off unless set).
    bool GetUseCharacterStyleFonts() const { return m_useCharacterStyleFonts; }
    void SetUseCharacterStyleFonts(bool on) { m_useCharacterStyleFonts = on; }
    // Leading and trailing blanks of PowerPoint's runs left out (off unless set).
    bool GetTrimRunBlanks() const { return m_trimRunBlanks; }
    void SetTrimRunBlanks(bool on) { m_trimRunBlanks = on; }
    // Linked text of the shape text index becomes buttons; the converter turns it off.
    bool GetTextHyperlinks() const { return m_textHyperlinks; }
    void SetTextHyperlinks(bool on) { m_textHyperlinks = on; }

    // --- Export options: fixed for this system ---
    int GetStartFrame() const { return 0; }
    int GetFramesPerSlide() const { return 1; }
    int GetFirstSlideFrame() const { return 0; }
    bool GetObjectsFirst() const { return false; }
    bool GetOnClickLink() const { return true; }
    bool GetHyperlinkButtons() const { return true; }
    bool GetAdvanceOnClick() const { return false; }
    bool GetNavigationOption() const { return false; }
    CNavigationListener* GetNavigationListener() const { return nullptr; }
    int GetLinkMode() const { return 0; }

    // Name of the log file inside the temporary folder.
    static const wchar_t* const kLogFileName;

private:
    std::shared_ptr<CLogFile> m_logFile;
    bool m_logOpenTried = false;
    std::wstring m_presentationPath;
    int m_jpegQuality = 75;
    int m_mp3Quality = 128;
    std::wstring m_tempFolder;
    float m_slideWidth = 720.0f;
    float m_slideHeight = 540.0f;
    int m_movieWidth = 720;
    int m_movieHeight = 540;
    bool m_automaticSlideTransition = false;
    float m_automaticSlideTransitionDelay = 5.0f;
    std::shared_ptr<CPptPresentation> m_presentation;
    CComPtr<PowerPoint::SlideRange> m_slideRange;
    CProgressSink* m_progressSink = nullptr;
    std::vector<int> m_exportedSlides;
    std::vector<std::wstring> m_flashProgIds;
    COLORREF m_backgroundColor = 0xFFFFFF;
    bool m_imageSmoothing = true;
    bool m_useCharacterStyleFonts = false;
    bool m_trimRunBlanks = false;
    bool m_removeSpentPictures = false;
    bool m_textHyperlinks = true;
};

}  // namespace genswf
