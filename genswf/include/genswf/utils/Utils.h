#pragma once
// Shared helpers on wide strings, paths, folders and numbers.
//
// Paths: both '\' and '/' separate; separators we add are '/'. A path is absolute when it
// begins with a separator. File-system calls take the UTF-8 form with '/' (NativePath).

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace genswf {

using COLORREF = std::uint32_t;  // 0x00BBGGRR

constexpr wchar_t kPathSeparator = L'/';
inline bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// --- Text encodings --------------------------------------------------------------------------
constexpr unsigned CP_ACP = 0;  // the "ANSI code page": Windows-1252 here
constexpr unsigned CP_LATIN1 = 28591;
constexpr unsigned CP_UTF8 = 65001;

std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);  // invalid sequences become U+FFFD
std::string WideToMultiByte(const std::wstring& text, unsigned codePage);
std::wstring MultiByteToWide(const std::string& text, unsigned codePage);

// --- Paths and folders -----------------------------------------------------------------------
std::string NativePath(const std::wstring& path);  // UTF-8, '\' turned into '/'
bool FolderExists(const std::wstring& path);
bool FileExists(const std::wstring& path);
std::wstring IncludeTrailingBackslash(const std::wstring& path);
std::wstring GetFolderOfPath(const std::wstring& path);
std::wstring GetFileNameOfPath(const std::wstring& path);
std::wstring StripExtension(const std::wstring& path);
std::wstring GetFileExtension(const std::wstring& path);
std::wstring CreateFolder(const std::wstring& path);
bool CreateFolderTree(const std::wstring& path);
std::wstring GetTempFolder();  // $TMPDIR or /tmp, with a trailing '/'
std::wstring CreateUniqueTempFolder(const std::wstring& prefix, const std::wstring& suffix,
                                    const std::wstring& baseFolder);
void DeleteFolderTree(const std::wstring& folder, bool recursive);
std::wstring ResolveRelativePath(const std::wstring& relative, const std::wstring& base);

// Milliseconds of a monotonic clock; the seed of unique names.
std::uint32_t GetTickCount();

// --- Files -----------------------------------------------------------------------------------
// Access, share and creation values keep the shape of the calls that use them.
constexpr std::uint32_t GENERIC_READ = 0x80000000u;
constexpr std::uint32_t GENERIC_WRITE = 0x40000000u;
constexpr std::uint32_t FILE_SHARE_READ = 0x1;
constexpr std::uint32_t FILE_SHARE_WRITE = 0x2;
constexpr std::uint32_t CREATE_NEW = 1;
constexpr std::uint32_t CREATE_ALWAYS = 2;
constexpr std::uint32_t OPEN_EXISTING = 3;
constexpr std::uint32_t OPEN_ALWAYS = 4;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// Owner of one open file.
class CFileHandle {
public:
    CFileHandle() = default;
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    bool Create(const std::wstring& name, std::uint32_t access, std::uint32_t shareMode,
                std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes);
    // Writes all count bytes or fails; a short write is never reported as success.
    bool Write(const void* buffer, std::size_t count);
    // Reads up to count bytes; returns how many were read, or -1 on failure.
    long long Read(void* buffer, std::size_t count);
    long long Size() const;  // -1 when unknown
    bool IsValid() const { return m_fd >= 0; }
    void Close();

private:
    int m_fd = -1;
};

// Whole-file helpers for the formats we read and write.
bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = 512u * 1024u * 1024u);
bool WriteWholeFile(const std::wstring& path, const void* data, std::size_t size);

// --- Strings and numbers ---------------------------------------------------------------------
std::wstring IntToWString(int value);
std::wstring UIntToWString(unsigned value);
int WStringToInt(const std::wstring& text);
// As above; stoppedEarly tells whether characters were left after the number.
int WStringToInt(const std::wstring& text, bool& stoppedEarly);
std::wstring FloatToTwips(float value);
int FloatToTwipsValue(float value);  // the number FloatToTwips writes
std::wstring ColorToWString(COLORREF color);
std::wstring FormatFloat(double value, int decimals);  // always '.', whatever the locale
std::size_t SplitString(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& pieces);
std::wstring JoinStrings(const std::vector<std::wstring>& pieces, const std::wstring& separator);
void RemoveEmptyStrings(std::vector<std::wstring>& pieces);
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& search, const std::wstring& replacement);
std::wstring ReplacePlaceholders(const std::wstring& text, const std::map<std::wstring, std::wstring>& placeholders);
int CompareNoCase(const std::wstring& a, const std::wstring& b);
std::wstring Trim(const std::wstring& text);
std::wstring ToLowerCase(const std::wstring& text);
std::wstring ToRomanNumeral(int n);
std::wstring UrlEscape(const std::wstring& text);

// --- Intrusive reference counting -------------------------------------------------------------
// Single-threaded count for objects not held by shared pointers.
class CRefCounted {
public:
    CRefCounted() = default;
    CRefCounted(const CRefCounted&) : m_refCount(0) {}
    CRefCounted& operator=(const CRefCounted&) { return *this; }
    virtual ~CRefCounted() = default;

    void AddRef() const { ++m_refCount; }
    void Release() const {
        if (--m_refCount == 0) delete this;
    }
    long GetRefCount() const { return m_refCount; }

private:
    mutable long m_refCount = 0;
};

template <class T>
class CRefPtr {
public:
    CRefPtr() = default;
    CRefPtr(T* p) : m_p(p) {
        if (m_p) m_p->AddRef();
    }  // NOLINT: implicit by design
    CRefPtr(const CRefPtr& other) : CRefPtr(other.m_p) {}
    CRefPtr(CRefPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    template <class U>
    CRefPtr(const CRefPtr<U>& other) : CRefPtr(other.Get()) {}  // NOLINT
    ~CRefPtr() { Reset(); }

    CRefPtr& operator=(CRefPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    void Reset() {
        if (m_p) {
            T* p = m_p;
            m_p = nullptr;
            p->Release();
        }
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

}  // namespace genswf
