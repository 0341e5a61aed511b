// The export log.

#include "genswf/movie/LogFile.h"

#include "base/encodings/TextEncoding.h"

namespace genswf {

std::shared_ptr<CLogFile> CLogFile::Create() { return std::make_shared<CLogFile>(); }

CLogFile::~CLogFile() { Close(); }

bool CLogFile::Open(const std::wstring& path) {
    Close();
    if (!m_file.Create(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL)) return false;
    m_path = path;
    return true;
}

void CLogFile::Close() {
    m_file.Close();
    m_path.clear();
}

void CLogFile::Write(const std::wstring& text) {
    if (!IsOpen() || text.empty()) return;
    // One write per call, straight to the file: a crash later in the export keeps every line
    // written so far.
    const std::string bytes = base::encodings::Utf16LeBytesFromWide(text);
    (void)m_file.Write(bytes.data(), bytes.size());
}

void CLogFile::WriteNewLine() { Write(L"\r\n"); }

void CLogFile::WriteLine(const std::wstring& text) { Write(text + L"\r\n"); }

void CLogFile::WriteA(const std::string& text) { Write(MultiByteToWide(text, CP_ACP)); }

void CLogFile::WriteLineA(const std::string& text) { WriteLine(MultiByteToWide(text, CP_ACP)); }

}  // namespace genswf
