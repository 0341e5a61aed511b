#include "addin/language/Language.h"

#include "base/encodings/TextEncoding.h"

#include <sys/stat.h>

using genswf::CompareNoCase;
using genswf::SplitString;
using genswf::Trim;

namespace addin {

namespace {

enum class Section { None, Info, Messages };

}  // namespace

std::wstring UnquoteLanguageValue(const std::wstring& value) {
    std::wstring text = value;
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) break;  // a backslash at the very end is dropped
        switch (text[i]) {
        case L'n':
            out += L'\n';
            break;
        case L'r':
            out += L'\r';
            break;
        case L't':
            out += L'\t';
            break;
        default:
            out += text[i];
            break;
        }
    }
    return out;
}

bool ParseLanguageId(const std::wstring& text, LANGID& id) {
    const int value = genswf::WStringToInt(Trim(text));
    if (value < 0 || value > 0xFFFF) return false;
    id = static_cast<LANGID>(value);
    return true;
}

CLanguage::CLanguage(const std::wstring& path) {
    // Only a regular file of sensible size is read: a folder, device or pipe named "*.lng"
    // must not block or exhaust us.
    struct stat info;
    const std::string native = genswf::NativePath(path);
    if (::stat(native.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > kMaxFileBytes) return;
    std::vector<std::uint8_t> bytes;
    if (!genswf::ReadWholeFile(path, bytes, kMaxFileBytes)) return;
    Parse(bytes.data(), bytes.size());
}

void CLanguage::Parse(const std::uint8_t* data, std::size_t size) {
    if (!data || size <= 2 || size > kMaxFileBytes) return;
    bool bigEndian = false;
    if (data[0] == 0xFF && data[1] == 0xFE) {
        bigEndian = false;
    } else if (data[0] == 0xFE && data[1] == 0xFF) {
        bigEndian = true;
    } else {
        return;
    }
    // Surrogate pairs are joined; a lone surrogate becomes U+FFFD.
    ParseText(bigEndian ? base::encodings::WideFromUtf16BeBytes(data + 2, size - 2)
                        : base::encodings::WideFromUtf16LeBytes(data + 2, size - 2));
}

void CLanguage::ParseText(const std::wstring& text) {
    std::wstring normalised;
    normalised.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            normalised += L'\n';
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            normalised += text[i];
        }
    }

    std::vector<std::wstring> lines;
    SplitString(normalised, L"\n", lines);
    Section section = Section::None;
    for (const std::wstring& rawLine : lines) {
        const std::wstring line = Trim(rawLine);
        if (line.empty() || line[0] == L';') continue;
        if (line == L"[info]") {
            section = Section::Info;
            continue;
        }
        if (line == L"[messages]") {
            section = Section::Messages;
            continue;
        }
        if (section == Section::None) continue;
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        const std::wstring key = Trim(line.substr(0, equals));
        if (key.empty()) continue;
        const std::wstring value = UnquoteLanguageValue(Trim(line.substr(equals + 1)));
        if (section == Section::Info) {
            SetInfo(key, value);
        } else {
            messages.emplace(key, value);  // the first occurrence wins
        }
    }
}

void CLanguage::SetInfo(const std::wstring& key, const std::wstring& value) {
    if (key == L"languageName") {
        if (languageName.empty() && !value.empty()) languageName = value;
    } else if (key == L"defaultLanguage") {
        if (CompareNoCase(value, L"true") == 0) {
            defaultLanguage = true;
        } else if (CompareNoCase(value, L"false") == 0) {
            defaultLanguage = false;
        }
    } else if (key == L"languageIds") {
        languageIds.clear();
        std::vector<std::wstring> pieces;
        SplitString(value, L",", pieces);
        for (const std::wstring& piece : pieces) {
            // An id that does not fit in 16 bits is left out rather than cut to another id.
            LANGID id = 0;
            if (ParseLanguageId(piece, id)) languageIds.push_back(id);
        }
    } else if (key == L"defaultLanguageId") {
        LANGID id = 0;
        if (ParseLanguageId(value, id)) defaultLanguageId = id;
    }
}

bool CLanguage::GetMessage(const std::wstring& name, std::wstring& text) const {
    const auto found = messages.find(name);
    if (found == messages.end()) {
        text.clear();
        return false;
    }
    text = found->second;
    return true;
}

bool CLanguage::HasMessage(const std::wstring& name) const { return messages.find(name) != messages.end(); }

bool CLanguage::SupportsLanguageId(LANGID id) const {
    for (LANGID listed : languageIds)
        if (listed == id) return true;
    return false;
}

bool CLanguage::IsValid() const { return !messages.empty() && !languageName.empty() && !languageIds.empty(); }

}  // namespace addin
