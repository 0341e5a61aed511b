#include "addin/converter/PresentationConverter.h"

#include "FileHolder.h"
#include "addin/settings/Settings.h"
#include "genswf/movie/LogFile.h"
#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"

using namespace genswf;

namespace addin {

CPresentationConverter::CPresentationConverter(PowerPoint::_Presentation* presentation, const CSettings* settings,
                                               PowerPoint::SlideRange* slideRange, CProgressSink* progressSink)
    : m_settings(settings), m_progressSink(progressSink), m_presentation(presentation), m_slideRange(slideRange) {}

CPresentationConverter::~CPresentationConverter() {
    Cleanup();
    m_movie.reset();
    m_slideRange = nullptr;
    m_presentation = nullptr;
}

void CPresentationConverter::SetSlideRange(PowerPoint::SlideRange* range) { m_slideRange.Attach(range); }

void CPresentationConverter::Convert() {
    try {
        ApplyExportMode();
        PrepareFolders();
        ExportMovie();
    } catch (...) {
        // Nothing of this export may stay open in the temporary folder while it is removed.
        m_movie.reset();
        m_log.reset();
        Cleanup();
        throw;
    }
    m_movie.reset();
    m_log.reset();
    Cleanup();
}

void CPresentationConverter::ApplyExportMode() {
    m_outputFilePath = m_settings->OutputFilePath;
    switch (m_settings->ExportMode) {
    case 0:
        SetSlideRange(nullptr);
        break;
    case 1:
        break;
    case 2:
        SetSlideRange(GetCurrentSlideRange(m_presentation));
        break;
    default:
        throw CConvertException(L"Invalid export mode!!");
    }
}

void CPresentationConverter::PrepareFolders() {
    const std::wstring folder = CreateFolder(GetFolderOfPath(m_outputFilePath));
    if (folder.empty()) {
        throw CConvertException(GetMessageString(L"ERR_CANNOT_CREATE_OUTPUT_FOLDER") +
                                GetFolderOfPath(m_outputFilePath));
    }
    m_outputFolder = folder;

    const std::wstring temp = CreateUniqueTempFolder(L"bclite", L".tmp", std::wstring());
    if (temp.empty()) throw CConvertException(GetMessageString(L"ERR_CANNOT_CREATE_TEMPORARY_FOLDER"));
    m_tempFolder = IncludeTrailingBackslash(temp);
}

void CPresentationConverter::ExportMovie() {
    const std::wstring xmlPath = m_tempFolder + L"movie.xml";
    ExportMovieDescription(GetFileNameOfPath(xmlPath));
    // The description is on disk: its document and pictures are not needed while the compiler
    // reads it back. Its own check may still be reading it through.
    if (m_movie) m_descriptionCheck = m_movie->GetDescriptionCheck();
    m_movie.reset();
    WriteOutputFile(xmlPath, m_outputFilePath);
}

void CPresentationConverter::WaitForDescriptionCheck() {
    if (!m_descriptionCheck.valid()) return;
    const std::shared_future<void> check = std::move(m_descriptionCheck);
    m_descriptionCheck = std::shared_future<void>();
    check.get();
}

void CPresentationConverter::WriteOutputFile(const std::wstring& xmlPath, const std::wstring& outputPath) {
    std::vector<std::uint8_t> bytes;
    if (m_progressSink) {
        m_progressSink->SetTask(TASK_COMPILE_SWF);
        m_progressSink->SetValue(0);
    }
    // A description that does not read back fails the export as such, whatever the compiler
    // made of it.
    try {
        CompileSwf(xmlPath, bytes);
    } catch (...) {
        WaitForDescriptionCheck();
        throw;
    }
    WaitForDescriptionCheck();
    // A compiler without progress reports cannot be stopped: a cancel asked for meanwhile is
    // honoured before the output is touched, however short the time since the last pump.
    if (m_progressSink) m_progressSink->CheckCancelNow();

    // An earlier good file is only replaced by a complete new one.
    CFileHolder holder;
    const bool written =
        holder.Create(outputPath) && !bytes.empty() && holder.Write(bytes.data(), bytes.size()) && holder.Commit();
    if (!written) {
        holder.Close();
        throw CConvertException(LocatedMessage(
            GetMessageString(L"ERR_WRITE_OUTPUT_FILE_ERROR") + L" File name is: " + outputPath, __FILE__, __LINE__));
    }
    LogWarnings();
}

void CPresentationConverter::LogWarnings() {
    if (!m_log || !m_progressSink) return;
    const std::vector<std::wstring>& warnings = m_progressSink->GetWarnings();
    const int count = static_cast<int>(warnings.size()) + m_progressSink->GetWarningsLeftOut();
    m_log->WriteLine(L"Movie written with " + IntToWString(count) + (count == 1 ? L" warning" : L" warnings") +
                     (count > 0 ? L":" : L"."));
    for (const std::wstring& warning : warnings) m_log->WriteLine(L"  " + warning);
    if (m_progressSink->GetWarningsLeftOut() > 0)
        m_log->WriteLine(L"  and " + IntToWString(m_progressSink->GetWarningsLeftOut()) + L" more");
}

void CPresentationConverter::Cleanup() {
    if (!m_tempFolder.empty() && !m_settings->DebugMode) {
        DeleteFolderTree(m_tempFolder, true);
        m_tempFolder.clear();
    }
}

}  // namespace addin
