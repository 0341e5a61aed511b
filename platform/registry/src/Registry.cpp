// The registry: an in-memory tree per hive, mirrored by one text file per hive.
//
// The file is the truth. Reads re-stat it and reload when it changed; every change takes the
// hive's lock file, reloads, applies the change and replaces the file atomically, so writers
// in different processes merge instead of overwriting each other.

#include "registry/Registry.h"
#include "HiveFile.h"
#include "RegText.h"
#include "base/bytes/ByteView.h"
#include "base/files/AtomicFile.h"
#include "base/files/WholeFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

using namespace registry::detail;

struct BcRegistryKey {
    int hive;
    std::vector<std::wstring> path;  // folded names
    REGSAM sam;
};

namespace {

constexpr int kHiveCount = 3;
const char* const kHiveNames[kHiveCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
constexpr std::size_t kMaxValueName = 16383;
constexpr std::size_t kMaxDepth = 512;
constexpr DWORD kMaxValueData = 1u << 20;

struct FileIdentity {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeSec = 0;
    long mtimeNsec = 0;

    static FileIdentity Of(const struct stat& st) {
        FileIdentity id;
        id.exists = true;
        id.dev = st.st_dev;
        id.ino = st.st_ino;
        id.size = st.st_size;
        id.mtimeSec = st.st_mtim.tv_sec;
        id.mtimeNsec = st.st_mtim.tv_nsec;
        return id;
    }
    bool operator==(const FileIdentity& o) const {
        if (exists != o.exists) return false;
        return !exists ||
               (dev == o.dev && ino == o.ino && size == o.size && mtimeSec == o.mtimeSec && mtimeNsec == o.mtimeNsec);
    }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

struct Hive {
    bool loaded = false;
    std::string filePath;  // where the content came from
    FileIdentity identity;
    bool corrupt = false;  // the file at identity could not be parsed and is still there
    std::string corruptReason;
    RegKeyNode root;
};

std::mutex g_mutex;
Hive g_hives[kHiveCount];
std::set<BcRegistryKey*> g_handles;

int PredefinedHive(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return 0;
    if (key == HKEY_CURRENT_USER) return 1;
    if (key == HKEY_LOCAL_MACHINE) return 2;
    return -1;
}

LONG ErrorFromErrno(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_WRITE_FAULT;
    }
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (struct passwd* pw = getpwuid(getuid()))
        if (pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

bool MakeFolders(const std::string& path) {
    if (path.empty()) return false;
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty()) continue;
        if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Held for the length of one change: the hive's advisory lock.
class CHiveLock {
public:
    explicit CHiveLock(const std::string& lockPath) {
        m_fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0) {
            m_error = errno;
            return;
        }
        while (flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                m_error = errno;
                close(m_fd);
                m_fd = -1;
                return;
            }
        }
    }
    ~CHiveLock() {
        if (m_fd >= 0) close(m_fd);  // releases the lock
    }
    CHiveLock(const CHiveLock&) = delete;
    CHiveLock& operator=(const CHiveLock&) = delete;
    bool Held() const { return m_fd >= 0; }
    int Error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

std::string LockPathOf(const std::string& filePath) { return filePath.substr(0, filePath.size() - 4) + ".lock"; }

// Moves an unparsable hive file aside ("x.reg.corrupt", then ".corrupt.1", ...), unless it has
// been replaced meanwhile. Called with the hive lock held. True when the file is out of the way.
bool MoveCorruptAside(const std::string& path, const FileIdentity& parsed, const std::string& reason) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (FileIdentity::Of(st) != parsed) return true;  // someone replaced it; the caller reloads
    std::string target = path + ".corrupt";
    for (int n = 1; access(target.c_str(), F_OK) == 0 || errno != ENOENT; ++n) {
        if (n > 10000) return false;
        target = path + ".corrupt." + std::to_string(n);
    }
    if (rename(path.c_str(), target.c_str()) != 0) {
        std::fprintf(stderr, "brindlecast: registry file %s cannot be read (%s) and cannot be moved aside: %s\n",
                     path.c_str(), reason.c_str(), std::strerror(errno));
        return false;
    }
    std::fprintf(stderr, "brindlecast: registry file %s cannot be read (%s); moved aside to %s\n", path.c_str(),
                 reason.c_str(), target.c_str());
    return true;
}

std::string HivePath(int index) { return registry::RegistryFolder() + "/" + kHiveNames[index] + ".reg"; }

// Brings the hive in line with its file; a file that cannot be parsed is moved aside (under the
// hive lock, taken here unless lockHeld). False when the hive must not be written: its file
// could not be read, or a corrupt file stays in place. The tree is empty in those cases.
bool Refresh(int index, bool lockHeld) {
    Hive& hive = g_hives[index];
    const std::string path = HivePath(index);
    // A writer always re-reads: file identity can repeat (inode reuse within the clock's
    // granularity), and a stale base would lose another process's write.
    if (lockHeld) hive.loaded = false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        struct stat st;
        FileIdentity now;
        if (stat(path.c_str(), &st) == 0) now = FileIdentity::Of(st);
        if (hive.loaded && hive.filePath == path && hive.identity == now) {
            if (!hive.corrupt) return true;
            if (!lockHeld || !MoveCorruptAside(path, hive.identity, hive.corruptReason)) return false;
            hive.loaded = false;
            continue;
        }
        hive.loaded = true;
        hive.filePath = path;
        hive.corrupt = false;
        hive.root = RegKeyNode();
        hive.identity = FileIdentity();
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT) return true;  // no file yet: an empty hive
            hive.loaded = false;
            return false;
        }
        std::vector<std::uint8_t> bytes;
        const int readError = fstat(fd, &st) == 0 ? base::files::ReadWholeFile(fd, bytes, kMaxHiveFileSize) : errno;
        close(fd);
        // A file over the limit is damaged like one that does not parse.
        const bool tooLarge = readError == EFBIG;
        if (readError != 0 && !tooLarge) {
            hive.loaded = false;
            return false;
        }
        hive.identity = FileIdentity::Of(st);
        std::string error = "file too large";
        if (!tooLarge && ParseHive(std::string(bytes.begin(), bytes.end()), hive.root, error)) return true;
        hive.root = RegKeyNode();
        hive.corrupt = true;
        hive.corruptReason = error;
        bool moved;
        if (lockHeld) {
            moved = MoveCorruptAside(path, hive.identity, error);
        } else {
            CHiveLock lock(LockPathOf(path));
            moved = lock.Held() && MoveCorruptAside(path, hive.identity, error);
            if (!lock.Held())
                std::fprintf(stderr, "brindlecast: registry file %s cannot be read (%s); left in place\n", path.c_str(),
                             error.c_str());
        }
        if (!moved) return false;
        hive.loaded = false;
    }
    return false;
}

}  // namespace

namespace {

bool Resolve(HKEY key, int& hive, std::vector<std::wstring>& path, REGSAM& sam) {
    int predefined = PredefinedHive(key);
    if (predefined >= 0) {
        hive = predefined;
        path.clear();
        sam = KEY_ALL_ACCESS;
        return true;
    }
    if (!key || g_handles.count(key) == 0) return false;
    hive = key->hive;
    path = key->path;
    sam = key->sam;
    return true;
}

// The names of a sub key path ("A\B\C"); null or empty gives none, a trailing '\' is ignored.
bool SplitSubKey(const wchar_t* subKey, std::vector<std::wstring>& names) {
    names.clear();
    if (!subKey || !*subKey) return true;
    std::wstring path(subKey);
    if (path.back() == L'\\') path.pop_back();
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find(L'\\', start);
        std::wstring name = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!IsValidKeyName(name) || names.size() >= kMaxDepth) return false;
        names.push_back(name);
        if (end == std::wstring::npos) return true;
        start = end + 1;
    }
}

RegKeyNode* FindKey(RegKeyNode& root, const std::vector<std::wstring>& foldedPath) {
    RegKeyNode* key = &root;
    for (const std::wstring& name : foldedPath) {
        auto it = key->subKeys.find(name);
        if (it == key->subKeys.end()) return nullptr;
        key = it->second.get();
    }
    return key;
}

HKEY NewHandle(int hive, std::vector<std::wstring> path, REGSAM sam) {
    auto* handle = new BcRegistryKey{hive, std::move(path), sam};
    g_handles.insert(handle);
    return handle;
}

std::wstring ValueKey(const wchar_t* name) { return Fold(name ? std::wstring(name) : std::wstring()); }

template <class Op>
LONG Mutate(int index, Op op) {
    const std::string folder = registry::RegistryFolder();
    if (!MakeFolders(folder)) return ErrorFromErrno(errno);
    const std::string path = HivePath(index);
    CHiveLock lock(LockPathOf(path));
    if (!lock.Held()) return ErrorFromErrno(lock.Error());
    if (!Refresh(index, true)) return ERROR_WRITE_FAULT;  // never write over a file we could not read
    Hive& hive = g_hives[index];
    bool changed = false;
    LONG rc = op(hive.root, changed);
    if (rc != ERROR_SUCCESS || !changed) return rc;

    const std::string text = SerializeHive(hive.root, kHiveNames[index]);
    if (int err = base::files::WriteFileAtomically(path, text.data(), text.size(), 0600)) {
        hive.loaded = false;  // drop the unsaved change: the file is the truth
        return ErrorFromErrno(err);
    }
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        hive.identity = FileIdentity::Of(st);
    else
        hive.loaded = false;
    return ERROR_SUCCESS;
}

void FoldAll(const std::vector<std::wstring>& names, std::vector<std::wstring>& path) {
    for (const std::wstring& name : names) path.push_back(Fold(name));
}

}  // namespace

LONG RegCreateKeyExW(HKEY root, const wchar_t* subKey, DWORD, wchar_t*, DWORD, REGSAM sam, void*, HKEY* result,
                     DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> base;
    REGSAM parentSam;
    if (!Resolve(root, hive, base, parentSam)) return ERROR_INVALID_HANDLE;
    std::vector<std::wstring> names;
    if (!SplitSubKey(subKey, names) || base.size() + names.size() > kMaxDepth) return ERROR_INVALID_PARAMETER;
    std::vector<std::wstring> full = base;
    FoldAll(names, full);

    Refresh(hive, false);
    if (FindKey(g_hives[hive].root, full)) {
        if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
        *result = NewHandle(hive, std::move(full), sam);
        return ERROR_SUCCESS;
    }
    if (!(parentSam & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    bool created = false;
    LONG rc = Mutate(hive, [&](RegKeyNode& rootNode, bool& changed) {
        RegKeyNode* key = FindKey(rootNode, base);
        if (!key) return ERROR_KEY_DELETED;
        for (const std::wstring& name : names) {
            auto& slot = key->subKeys[Fold(name)];
            if (!slot) {
                slot = std::make_unique<RegKeyNode>();
                slot->name = name;
                changed = true;
            }
            key = slot.get();
        }
        created = changed;
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(hive, std::move(full), sam);
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExW(HKEY root, const wchar_t* subKey, DWORD, REGSAM sam, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> path;
    REGSAM parentSam;
    if (!Resolve(root, hive, path, parentSam)) return ERROR_INVALID_HANDLE;
    std::vector<std::wstring> names;
    if (!SplitSubKey(subKey, names)) return ERROR_FILE_NOT_FOUND;  // no key can have that name
    FoldAll(names, path);
    Refresh(hive, false);
    if (!FindKey(g_hives[hive].root, path)) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(hive, std::move(path), sam);
    return ERROR_SUCCESS;
}

namespace {

// Copies value data out as the query and enumeration calls do.
LONG CopyData(const RegValue& value, DWORD* type, unsigned char* data, DWORD* cbData) {
    if (type) *type = value.type;
    const auto size = static_cast<DWORD>(value.data.size());
    if (data) {
        if (*cbData < size) {
            *cbData = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, value.data.data(), size);
    }
    if (cbData) *cbData = size;
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegQueryValueExW(HKEY key, const wchar_t* name, DWORD* reserved, DWORD* type, unsigned char* data, DWORD* cbData) {
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> path;
    REGSAM sam;
    if (!Resolve(key, hive, path, sam)) return ERROR_INVALID_HANDLE;
    if (reserved || (data && !cbData)) return ERROR_INVALID_PARAMETER;
    if (!(sam & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    Refresh(hive, false);
    RegKeyNode* node = FindKey(g_hives[hive].root, path);
    if (!node) return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    auto it = node->values.find(ValueKey(name));
    if (it == node->values.end()) return ERROR_FILE_NOT_FOUND;
    return CopyData(it->second, type, data, cbData);
}

LONG RegSetValueExW(HKEY key, const wchar_t* name, DWORD, DWORD type, const unsigned char* data, DWORD cbData) {
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> path;
    REGSAM sam;
    if (!Resolve(key, hive, path, sam)) return ERROR_INVALID_HANDLE;
    const std::wstring valueName = name ? name : L"";
    if ((!data && cbData) || cbData > kMaxValueData || valueName.size() > kMaxValueName) return ERROR_INVALID_PARAMETER;
    if (!(sam & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    std::string bytes(reinterpret_cast<const char*>(data), data ? cbData : 0);
    return Mutate(hive, [&](RegKeyNode& root, bool& changed) {
        RegKeyNode* node = FindKey(root, path);
        if (!node) return ERROR_KEY_DELETED;
        const std::wstring folded = Fold(valueName);
        auto it = node->values.find(folded);
        if (it != node->values.end() && it->second.type == type && it->second.data == bytes)
            return ERROR_SUCCESS;  // same content: no rewrite
        RegValue& value = node->values[folded];
        if (it == node->values.end()) value.name = valueName;
        changed = true;
        value.type = type;
        value.data = std::move(bytes);
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueW(HKEY key, const wchar_t* name) {
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> path;
    REGSAM sam;
    if (!Resolve(key, hive, path, sam)) return ERROR_INVALID_HANDLE;
    if (!(sam & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    Refresh(hive, false);
    RegKeyNode* node = FindKey(g_hives[hive].root, path);
    if (!node) return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    if (node->values.count(ValueKey(name)) == 0) return ERROR_FILE_NOT_FOUND;
    return Mutate(hive, [&](RegKeyNode& root, bool& changed) {
        RegKeyNode* current = FindKey(root, path);
        if (!current) return ERROR_KEY_DELETED;
        changed = current->values.erase(ValueKey(name)) > 0;
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

namespace {

LONG DeleteKey(HKEY root, const wchar_t* subKey, bool tree) {
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> path;
    REGSAM sam;
    if (!Resolve(root, hive, path, sam)) return ERROR_INVALID_HANDLE;
    std::vector<std::wstring> names;
    if (!SplitSubKey(subKey, names)) return ERROR_FILE_NOT_FOUND;
    FoldAll(names, path);
    const bool emptyOnly = tree && names.empty();                // RegDeleteTreeW(key, null) empties the key
    if (path.empty() && !emptyOnly) return ERROR_ACCESS_DENIED;  // a hive root cannot go
    Refresh(hive, false);
    if (!FindKey(g_hives[hive].root, path)) return ERROR_FILE_NOT_FOUND;
    return Mutate(hive, [&](RegKeyNode& rootNode, bool& changed) {
        RegKeyNode* node = FindKey(rootNode, path);
        if (!node) return ERROR_FILE_NOT_FOUND;
        if (emptyOnly) {
            changed = !node->values.empty() || !node->subKeys.empty();
            node->values.clear();
            node->subKeys.clear();
            return ERROR_SUCCESS;
        }
        if (!tree && !node->subKeys.empty()) return ERROR_ACCESS_DENIED;
        std::vector<std::wstring> parentPath(path.begin(), path.end() - 1);
        FindKey(rootNode, parentPath)->subKeys.erase(path.back());
        changed = true;
        return ERROR_SUCCESS;
    });
}

}  // namespace

LONG RegDeleteKeyW(HKEY root, const wchar_t* subKey) { return DeleteKey(root, subKey, false); }

LONG RegDeleteTreeW(HKEY root, const wchar_t* subKey) { return DeleteKey(root, subKey, true); }

LONG RegEnumKeyExW(HKEY key, DWORD index, wchar_t* name, DWORD* cchName, DWORD* reserved, wchar_t* cls, DWORD* cchClass,
                   void*) {
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> path;
    REGSAM sam;
    if (!Resolve(key, hive, path, sam)) return ERROR_INVALID_HANDLE;
    if (!name || !cchName || reserved) return ERROR_INVALID_PARAMETER;
    if (!(sam & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    Refresh(hive, false);
    RegKeyNode* node = FindKey(g_hives[hive].root, path);
    if (!node) return ERROR_KEY_DELETED;
    if (index >= node->subKeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = node->subKeys.begin();
    std::advance(it, index);
    const std::wstring& text = it->second->name;
    if (*cchName <= text.size()) return ERROR_MORE_DATA;
    std::memcpy(name, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    *cchName = static_cast<DWORD>(text.size());
    if (cls && cchClass && *cchClass > 0) {
        cls[0] = L'\0';
        *cchClass = 0;
    }
    return ERROR_SUCCESS;
}

LONG RegEnumValueW(HKEY key, DWORD index, wchar_t* name, DWORD* cchName, DWORD* reserved, DWORD* type,
                   unsigned char* data, DWORD* cbData) {
    std::lock_guard<std::mutex> guard(g_mutex);
    int hive;
    std::vector<std::wstring> path;
    REGSAM sam;
    if (!Resolve(key, hive, path, sam)) return ERROR_INVALID_HANDLE;
    if (!name || !cchName || reserved || (data && !cbData)) return ERROR_INVALID_PARAMETER;
    if (!(sam & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    Refresh(hive, false);
    RegKeyNode* node = FindKey(g_hives[hive].root, path);
    if (!node) return path.empty() ? ERROR_NO_MORE_ITEMS : ERROR_KEY_DELETED;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    auto it = node->values.begin();
    std::advance(it, index);
    const std::wstring& text = it->second.name;
    if (*cchName <= text.size()) return ERROR_MORE_DATA;
    std::memcpy(name, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    *cchName = static_cast<DWORD>(text.size());
    return CopyData(it->second, type, data, cbData);
}

LONG RegCloseKey(HKEY key) {
    if (PredefinedHive(key) >= 0) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> guard(g_mutex);
    auto it = g_handles.find(key);
    if (it == g_handles.end()) return ERROR_INVALID_HANDLE;
    g_handles.erase(it);
    delete key;
    return ERROR_SUCCESS;
}

namespace registry {

std::string Utf16BytesFromWide(const std::wstring& text) {
    std::string bytes = base::encodings::Utf16LeBytesFromWide(text);
    bytes.append(2, '\0');
    return bytes;
}

std::wstring WideFromUtf16Bytes(const unsigned char* data, std::size_t size) {
    return base::encodings::WideFromUtf16LeBytesToNul(data, size);
}

namespace {

// One value's type and bytes through the public calls; false when key or value is missing.
bool QueryValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD& type, std::string& bytes) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    LONG rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        DWORD size = 0;
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (rc != ERROR_SUCCESS) break;
        bytes.assign(size, '\0');
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<unsigned char*>(&bytes[0]), &size);
        if (rc == ERROR_SUCCESS) bytes.resize(size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const std::string& bytes) {
    HKEY key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace

std::wstring ReadString(HKEY root, const std::wstring& path, const std::wstring& name,
                        const std::wstring& defaultValue) {
    DWORD type = 0;
    std::string bytes;
    if (!QueryValue(root, path, name, type, bytes) || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;
    return WideFromUtf16Bytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

DWORD ReadDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD defaultValue) {
    DWORD type = 0;
    std::string bytes;
    if (!QueryValue(root, path, name, type, bytes) || type != REG_DWORD || bytes.size() != 4) return defaultValue;
    return base::bytes::ByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()).U32(0);
}

bool WriteString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
    return SetValue(root, path, name, REG_SZ, Utf16BytesFromWide(value));
}

bool WriteDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return SetValue(root, path, name, REG_DWORD, bytes);
}

bool ValueExists(HKEY root, const std::wstring& path, const std::wstring& name) {
    DWORD type;
    std::string bytes;
    return QueryValue(root, path, name, type, bytes);
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    LONG rc = RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, const std::wstring& path) { return RegDeleteTreeW(root, path.c_str()) == ERROR_SUCCESS; }

std::string RegistryFolder() {
    std::string folder;
    const char* own = std::getenv("BRINDLECAST_REGISTRY");
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (own && *own)
        folder = own;
    else if (xdg && xdg[0] == '/')
        folder = std::string(xdg) + "/brindlecast/registry";
    else
        folder = HomeFolder() + "/.config/brindlecast/registry";
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string HiveFilePath(HKEY root) {
    int index = PredefinedHive(root);
    return index < 0 ? std::string() : HivePath(index);
}

void ResetForTesting() {
    std::lock_guard<std::mutex> guard(g_mutex);
    for (Hive& hive : g_hives) hive = Hive();
}

}  // namespace registry
