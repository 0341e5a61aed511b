#pragma once
// Runs one export from start to end: which slides go out, the output and temporary folders,
// the movie description, the compiler, the output file and the clean-up.

#include "com/ComPtr.h"
#include "genswf/utils/ProgressSink.h"
#include "powerpoint/model/PowerPoint.h"

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace genswf {
class CLogFile;
class CMovie;
}  // namespace genswf

namespace addin {

class CSettings;

class CPresentationConverter {
public:
    CPresentationConverter(PowerPoint::_Presentation* presentation, const CSettings* settings,
                           PowerPoint::SlideRange* slideRange, genswf::CProgressSink* progressSink);
    virtual ~CPresentationConverter();
    CPresentationConverter(const CPresentationConverter&) = delete;
    CPresentationConverter& operator=(const CPresentationConverter&) = delete;

    void Convert();
    std::wstring GetOutputFilePath() const { return m_outputFilePath; }

protected:
    void ApplyExportMode();
    void PrepareFolders();
    void ExportMovie();
    void WriteOutputFile(const std::wstring& xmlPath, const std::wstring& outputPath);
    // The movie description's own check, run beside the compiler: its failure is the export's.
    void WaitForDescriptionCheck();
    void Cleanup();
    // The export log's last lines: every warning the user is shown, once.
    void LogWarnings();

    // The steps that reach the movie document, the compiler and PowerPoint's windows.
    virtual void ExportMovieDescription(const std::wstring& xmlFileName);
    virtual void CompileSwf(const std::wstring& xmlPath, std::vector<std::uint8_t>& bytes);
    virtual PowerPoint::SlideRange* GetCurrentSlideRange(PowerPoint::_Presentation* presentation);
    virtual std::wstring GetMessageString(const std::wstring& messageName);

    const CSettings* m_settings;
    genswf::CProgressSink* m_progressSink;
    CComPtr<PowerPoint::_Presentation> m_presentation;
    CComPtr<PowerPoint::SlideRange> m_slideRange;
    std::wstring m_outputFolder;
    std::wstring m_outputFilePath;
    std::wstring m_tempFolder;
    std::shared_ptr<genswf::CMovie> m_movie;
    std::shared_future<void> m_descriptionCheck;
    // The export log, kept open past the movie for the compiler's warnings and the summary.
    std::shared_ptr<genswf::CLogFile> m_log;

private:
    void SetSlideRange(PowerPoint::SlideRange* range);  // takes over a reference already added
};

}  // namespace addin
