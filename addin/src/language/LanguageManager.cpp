#include "addin/language/LanguageManager.h"

#include "addin/settings/Settings.h"

#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <cwchar>

using genswf::CRefPtr;

namespace addin {

namespace {

CRefPtr<CLanguageManager>& GlobalManager() {
    static CRefPtr<CLanguageManager> manager;
    return manager;
}

bool EndsWithNoCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = name[name.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

bool IsRegularFile(const std::string& path, long long* size = nullptr) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (size) *size = static_cast<long long>(info.st_size);
    return true;
}

// Names of the folder's regular files that pass the filter, sorted so the result does not
// depend on the order the file system lists them in. At most maxNames are kept.
template <class Filter>
std::vector<std::string> ListFiles(const std::string& folder, Filter filter, std::size_t maxNames) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    // A folder may be huge; we look at a bounded number of entries.
    std::size_t seen = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (++seen > 100000) break;
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !filter(name)) continue;
        if (!IsRegularFile(folder + "/" + name)) continue;
        names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    if (names.size() > maxNames) names.resize(maxNames);
    return names;
}

std::string JoinNative(const std::wstring& folder, const std::wstring& child) {
    std::string path = genswf::NativePath(folder);
    if (path.empty() || path.back() != '/') path += '/';
    return path + genswf::NativePath(child);
}

LANGID FirstUsableId(const CLanguage& language) {
    for (LANGID id : language.GetLanguageIds())
        if (id != 0) return id;
    return language.GetLanguageIds().empty() ? 0 : language.GetLanguageIds().front();
}

}  // namespace

CLanguageManager::CLanguageManager(CSettings* settings_) : settings(settings_) {
    const int saved = settings ? settings->LanguageId : 0;
    languageId = saved > 0 && saved <= 0xFFFF ? static_cast<LANGID>(saved) : 0;
}

void CLanguageManager::LoadLanguages() {
    languages.clear();
    current.Reset();
    stringTables.clear();

    const std::wstring folder = settings ? settings->GetLanguageFolder() : std::wstring();
    std::vector<std::string> names;
    if (!folder.empty()) {
        names = ListFiles(
            genswf::NativePath(folder), [](const std::string& name) { return EndsWithNoCase(name, ".lng"); },
            kMaxLanguageFiles);
    }

    const LANGID userId = GetUserDefaultLangID();
    CRefPtr<CLanguage> defaultCandidate;
    CRefPtr<CLanguage> savedCandidate;
    CRefPtr<CLanguage> userCandidate;
    for (const std::string& name : names) {
        CRefPtr<CLanguage> language(
            new CLanguage(genswf::WideFromUtf8(JoinNative(folder, genswf::WideFromUtf8(name)))));
        if (!language->IsValid()) continue;
        languages.push_back(language);
        if (!defaultCandidate && language->IsDefaultLanguage()) defaultCandidate = language;
        if (!savedCandidate && languageId != 0 && language->SupportsLanguageId(languageId)) savedCandidate = language;
        if (!userCandidate && language->SupportsLanguageId(userId)) userCandidate = language;
    }

    LANGID matchedId = 0;
    if (savedCandidate) {
        current = savedCandidate;
        matchedId = languageId;
    } else if (userCandidate) {
        current = userCandidate;
        matchedId = userId;
    } else if (defaultCandidate) {
        current = defaultCandidate;
    }
    if (!current) return;

    // The id we keep must be one the chosen language lists, or the next load would not find
    // it again: its own default id when listed, else the id that matched, else its first.
    LANGID chosenId = current->GetDefaultLanguageId();
    if (!current->SupportsLanguageId(chosenId) || chosenId == 0)
        chosenId = matchedId != 0 ? matchedId : FirstUsableId(*current);
    languageId = chosenId;
    if (settings) {
        settings->LanguageId = chosenId;
        settings->SaveLanguageId();
    }
}

bool CLanguageManager::HasMessage(const std::wstring& name) const { return current && current->HasMessage(name); }

bool CLanguageManager::GetMessage(const std::wstring& name, std::wstring& text) const {
    if (!current) {
        text.clear();
        return false;
    }
    return current->GetMessage(name, text);
}

std::wstring CLanguageManager::GetMessageString(const std::wstring& name) const {
    std::wstring text;
    GetMessage(name, text);
    return text;
}

std::wstring CLanguageManager::FormatMessageString(const std::wstring& name, int first, int second) const {
    return FormatIntegerMessage(GetMessageString(name), first, second);
}

std::wstring CLanguageManager::GetResourceFolder() const {
    if (!resourceFolder.empty()) return resourceFolder;
    return settings ? settings->GetResourceFolder() : std::wstring();
}

std::wstring CLanguageManager::FindResourceIn(LANGID id, const std::wstring& type, unsigned name) const {
    const std::wstring root = GetResourceFolder();
    if (root.empty() || type.empty()) return std::wstring();
    // The type names a folder; it must not lead out of the resource folder.
    if (type.find_first_of(L"/\\") != std::wstring::npos || type == L"." || type == L"..") return std::wstring();
    const std::string folder = JoinNative(root, std::to_wstring(id) + L"/" + type);
    const std::string stem = std::to_string(name);
    const auto names = ListFiles(
        folder,
        [&stem](const std::string& file) {
            return file == stem ||
                   (file.size() > stem.size() && file.compare(0, stem.size(), stem) == 0 && file[stem.size()] == '.');
        },
        1);
    if (names.empty()) return std::wstring();
    return genswf::WideFromUtf8(folder + "/" + names.front());
}

std::wstring CLanguageManager::FindResource(const std::wstring& type, unsigned name) const {
    if (languageId != 0) {
        const std::wstring path = FindResourceIn(languageId, type, name);
        if (!path.empty()) return path;
    }
    return languageId == kUsEnglishLanguageId ? std::wstring() : FindResourceIn(kUsEnglishLanguageId, type, name);
}

long long CLanguageManager::SizeofResource(const std::wstring& type, unsigned name) const {
    const std::wstring path = FindResource(type, name);
    long long size = -1;
    if (path.empty() || !IsRegularFile(genswf::NativePath(path), &size)) return -1;
    return size;
}

bool CLanguageManager::LoadResource(const std::wstring& type, unsigned name, std::vector<std::uint8_t>& bytes) const {
    bytes.clear();
    const std::wstring path = FindResource(type, name);
    long long size = -1;
    if (path.empty() || !IsRegularFile(genswf::NativePath(path), &size)) return false;
    if (size < 0 || static_cast<unsigned long long>(size) > kMaxResourceBytes) return false;
    return genswf::ReadWholeFile(path, bytes, kMaxResourceBytes);
}

const std::map<unsigned, std::wstring>& CLanguageManager::StringTable(LANGID id) const {
    const auto known = stringTables.find(id);
    if (known != stringTables.end()) return known->second;
    std::map<unsigned, std::wstring>& table = stringTables[id];

    const std::wstring root = GetResourceFolder();
    if (root.empty()) return table;
    const std::string path = JoinNative(root, std::to_wstring(id) + L"/strings.txt");
    long long size = -1;
    if (!IsRegularFile(path, &size) || size < 0 || static_cast<unsigned long long>(size) > kMaxResourceBytes)
        return table;
    std::vector<std::uint8_t> bytes;
    if (!genswf::ReadWholeFile(genswf::WideFromUtf8(path), bytes, kMaxResourceBytes)) return table;

    // UTF-8 lines "id = text"; '#' starts a comment line. The first entry of an id wins.
    std::wstring text = genswf::WideFromUtf8(std::string(bytes.begin(), bytes.end()));
    if (!text.empty() && text[0] == L'\xFEFF') text.erase(0, 1);
    std::vector<std::wstring> lines;
    genswf::SplitString(text, L"\r\n", lines);
    for (const std::wstring& rawLine : lines) {
        const std::wstring line = genswf::Trim(rawLine);
        if (line.empty() || line[0] == L'#') continue;
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        const std::wstring key = genswf::Trim(line.substr(0, equals));
        if (key.empty() || key.size() > 5 || key.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const unsigned number = static_cast<unsigned>(std::wcstoul(key.c_str(), nullptr, 10));
        if (number > 0xFFFF) continue;
        table.emplace(number, genswf::Trim(line.substr(equals + 1)));
    }
    return table;
}

std::wstring CLanguageManager::LoadString(unsigned id) const {
    if (languageId != 0) {
        const auto& table = StringTable(languageId);
        const auto found = table.find(id);
        if (found != table.end()) return found->second;
    }
    if (languageId == kUsEnglishLanguageId) return std::wstring();
    const auto& fallback = StringTable(kUsEnglishLanguageId);
    const auto found = fallback.find(id);
    return found != fallback.end() ? found->second : std::wstring();
}

CLanguageManager* GetLanguageManager() {
    CRefPtr<CLanguageManager>& manager = GlobalManager();
    if (manager) return manager.Get();
    // Lookups before any control made a manager get empty texts, never a null object.
    static CRefPtr<CLanguageManager> empty(new CLanguageManager(nullptr));
    return empty.Get();
}

void SetLanguageManager(const CRefPtr<CLanguageManager>& manager) {
    // Hold the new one before the old one goes: the old may be the new.
    CRefPtr<CLanguageManager> replacement = manager;
    GlobalManager() = replacement;
}

std::wstring FormatIntegerMessage(const std::wstring& format, int first, int second) {
    std::wstring out;
    out.reserve(format.size() + 16);
    int used = 0;
    const std::size_t n = format.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (format[i] != L'%') {
            out += format[i];
            continue;
        }
        if (i + 1 < n && format[i + 1] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        if (used >= 2) {
            out += L'%';
            continue;
        }
        // % [flags] [width] [l|h] d|i|u
        std::size_t j = i + 1;
        std::wstring spec = L"%";
        while (j < n && std::wcschr(L"-+ 0", format[j]) != nullptr && format[j] != L'\0' && spec.size() < 5)
            spec += format[j++];
        std::size_t digits = 0;
        while (j < n && format[j] >= L'0' && format[j] <= L'9' && digits < 2) {
            spec += format[j++];
            ++digits;
        }
        if (j < n && (format[j] == L'l' || format[j] == L'h')) ++j;
        if (j >= n || (format[j] != L'd' && format[j] != L'i' && format[j] != L'u')) {
            out += L'%';  // not a directive we expand: literal text
            continue;
        }
        const int value = used == 0 ? first : second;
        ++used;
        wchar_t buffer[160];
        int written = 0;
        if (format[j] == L'u') {
            spec += L'u';
            written = std::swprintf(buffer, 160, spec.c_str(), static_cast<unsigned>(value));
        } else {
            spec += L'd';
            written = std::swprintf(buffer, 160, spec.c_str(), value);
        }
        if (written > 0) out.append(buffer, static_cast<std::size_t>(written));
        i = j;
    }
    return out;
}

}  // namespace addin
