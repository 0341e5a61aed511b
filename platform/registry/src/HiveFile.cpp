#include "HiveFile.h"
#include "RegText.h"
#include "base/bytes/ByteView.h"

#include <cstdio>
#include <vector>

namespace registry {
namespace detail {

namespace {

constexpr std::size_t kMaxKeyName = 255;
constexpr std::size_t kMaxValueName = 16383;
constexpr std::size_t kMaxValueData = 1u << 20;
constexpr std::size_t kMaxDepth = 512;
constexpr DWORD kRegSz = 1;
constexpr DWORD kRegDword = 4;

const char kHex[] = "0123456789abcdef";

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

void AppendHex(std::string& out, unsigned long value, int digits) {
    for (int i = digits - 1; i >= 0; --i) out += kHex[(value >> (4 * i)) & 0xF];
}

void AppendQuoted(std::string& out, const std::wstring& text) {
    out += '"';
    for (wchar_t c : text) {
        switch (c) {
        case L'\\':
            out += "\\\\";
            break;
        case L'"':
            out += "\\\"";
            break;
        case L'\n':
            out += "\\n";
            break;
        case L'\r':
            out += "\\r";
            break;
        case L'\t':
            out += "\\t";
            break;
        case L'\0':
            out += "\\0";
            break;
        default:
            if (!IsEncodable(c) || static_cast<unsigned long>(c) < 0x20 || c == 0x7F) {
                auto u = static_cast<unsigned long>(c);
                if (u <= 0xFFFF) {
                    out += "\\u";
                    AppendHex(out, u, 4);
                } else {
                    out += "\\U";
                    AppendHex(out, u, 8);
                }
            } else {
                base::encodings::AppendUtf8(out, static_cast<char32_t>(c));
            }
        }
    }
    out += '"';
}

void WriteValue(std::string& out, const RegValue& value) {
    if (value.name.empty())
        out += '@';
    else
        AppendQuoted(out, value.name);
    out += '=';
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data.data());
    std::wstring text;
    if (value.type == kRegSz && value.data.size() >= 2 && value.data[value.data.size() - 1] == 0 &&
        value.data[value.data.size() - 2] == 0 &&
        base::encodings::StrictWideFromUtf16LeBytes(bytes, value.data.size() - 2, text) &&
        text.find(L'\0') == std::wstring::npos) {
        out += "sz:";
        AppendQuoted(out, text);
    } else if (value.type == kRegDword && value.data.size() == 4) {
        const unsigned long v = base::bytes::ByteView(bytes, 4).U32(0);
        out += "dword:";
        AppendHex(out, v, 8);
    } else {
        char head[32];
        std::snprintf(head, sizeof head, "hex(%x):", static_cast<unsigned>(value.type));
        out += head;
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            if (i) out += ',';
            AppendHex(out, bytes[i], 2);
        }
    }
    out += '\n';
}

void WriteKey(std::string& out, const RegKeyNode& key, const std::wstring& path) {
    if (!path.empty() || !key.values.empty()) {
        out += "\n[";
        for (wchar_t c : path) base::encodings::AppendUtf8(out, static_cast<char32_t>(c));
        out += "]\n";
        for (const auto& entry : key.values) WriteValue(out, entry.second);
    }
    for (const auto& entry : key.subKeys) {
        const RegKeyNode& sub = *entry.second;
        WriteKey(out, sub, path.empty() ? sub.name : path + L'\\' + sub.name);
    }
}

class CParser {
public:
    CParser(const std::wstring& line) : m_line(line) {}

    bool AtEnd() const { return m_pos >= m_line.size(); }
    wchar_t Peek() const { return AtEnd() ? 0 : m_line[m_pos]; }
    bool Accept(const wchar_t* literal) {
        std::size_t n = 0;
        while (literal[n]) {
            if (m_pos + n >= m_line.size() || m_line[m_pos + n] != literal[n]) return false;
            ++n;
        }
        m_pos += n;
        return true;
    }
    bool Quoted(std::wstring& out, const char*& error) {
        out.clear();
        if (!Accept(L"\"")) {
            error = "expected '\"'";
            return false;
        }
        while (!AtEnd()) {
            wchar_t c = m_line[m_pos++];
            if (c == L'"') return true;
            if (static_cast<unsigned long>(c) < 0x20 || c == 0x7F) {
                error = "control character in quoted text";
                return false;
            }
            if (c != L'\\') {
                out += c;
                continue;
            }
            if (AtEnd()) break;
            wchar_t e = m_line[m_pos++];
            switch (e) {
            case L'\\':
                out += L'\\';
                break;
            case L'"':
                out += L'"';
                break;
            case L'n':
                out += L'\n';
                break;
            case L'r':
                out += L'\r';
                break;
            case L't':
                out += L'\t';
                break;
            case L'0':
                out += L'\0';
                break;
            case L'u':
            case L'U': {
                int digits = e == L'u' ? 4 : 8;
                unsigned long v = 0;
                for (int i = 0; i < digits; ++i) {
                    int h = HexValue(Peek());
                    if (h < 0) {
                        error = "bad \\u escape";
                        return false;
                    }
                    v = (v << 4) | static_cast<unsigned long>(h);
                    ++m_pos;
                }
                if (v > 0x7FFFFFFFul) {
                    error = "bad \\U escape";
                    return false;
                }
                out += static_cast<wchar_t>(v);
                break;
            }
            default:
                error = "unknown escape";
                return false;
            }
        }
        error = "unterminated quoted text";
        return false;
    }
    bool Hex(std::size_t digits, unsigned long& value) {
        value = 0;
        for (std::size_t i = 0; i < digits; ++i) {
            int h = HexValue(Peek());
            if (h < 0) return false;
            value = (value << 4) | static_cast<unsigned long>(h);
            ++m_pos;
        }
        return true;
    }
    // Hex digits up to a non-hex character (1..8 of them).
    bool HexNumber(unsigned long& value) {
        std::size_t start = m_pos;
        value = 0;
        while (HexValue(Peek()) >= 0 && m_pos - start < 8) {
            value = (value << 4) | static_cast<unsigned long>(HexValue(Peek()));
            ++m_pos;
        }
        return m_pos > start;
    }

private:
    const std::wstring& m_line;
    std::size_t m_pos = 0;
};

bool ParseValueLine(const std::wstring& line, RegKeyNode& key, const char*& error) {
    CParser p(line);
    RegValue value;
    if (!p.Accept(L"@") && !p.Quoted(value.name, error)) return false;
    if (value.name.size() > kMaxValueName) {
        error = "value name too long";
        return false;
    }
    if (!p.Accept(L"=")) {
        error = "expected '='";
        return false;
    }
    if (p.Accept(L"sz:")) {
        std::wstring text;
        if (!p.Quoted(text, error)) return false;
        value.type = kRegSz;
        value.data = base::encodings::Utf16LeBytesFromWide(text);
        value.data.append(2, '\0');
    } else if (p.Accept(L"dword:")) {
        unsigned long v;
        if (!p.Hex(8, v)) {
            error = "dword needs 8 hexadecimal digits";
            return false;
        }
        value.type = kRegDword;
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((v >> (8 * i)) & 0xFF);
    } else if (p.Accept(L"hex(")) {
        unsigned long type;
        if (!p.HexNumber(type) || !p.Accept(L"):")) {
            error = "bad hex(type):";
            return false;
        }
        value.type = static_cast<DWORD>(type);
        while (!p.AtEnd()) {
            unsigned long b;
            if ((!value.data.empty() && !p.Accept(L",")) || !p.Hex(2, b)) {
                error = "bad hex byte list";
                return false;
            }
            if (value.data.size() >= kMaxValueData) {
                error = "value data too long";
                return false;
            }
            value.data += static_cast<char>(b);
        }
    } else {
        error = "unknown value type";
        return false;
    }
    if (!p.AtEnd()) {
        error = "text after the value";
        return false;
    }
    if (value.data.size() > kMaxValueData) {
        error = "value data too long";
        return false;
    }
    std::wstring folded = Fold(value.name);
    auto it = key.values.find(folded);
    if (it != key.values.end()) value.name = it->second.name;
    key.values[folded] = std::move(value);
    return true;
}

RegKeyNode* ParseKeyLine(const std::wstring& line, RegKeyNode& root, const char*& error) {
    if (line.size() < 2 || line.back() != L']') {
        error = "key line must end with ']'";
        return nullptr;
    }
    const std::wstring path = line.substr(1, line.size() - 2);
    RegKeyNode* key = &root;
    if (path.empty()) return key;
    std::size_t start = 0;
    std::size_t depth = 0;
    for (;;) {
        std::size_t end = path.find(L'\\', start);
        std::wstring name = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!IsValidKeyName(name) || ++depth > kMaxDepth) {
            error = "bad key name";
            return nullptr;
        }
        auto& slot = key->subKeys[Fold(name)];
        if (!slot) {
            slot = std::make_unique<RegKeyNode>();
            slot->name = name;
        }
        key = slot.get();
        if (end == std::wstring::npos) return key;
        start = end + 1;
    }
}

}  // namespace

bool IsValidKeyName(const std::wstring& name) {
    if (name.empty() || name.size() > kMaxKeyName) return false;
    for (wchar_t c : name)
        if (c == L'\\' || static_cast<unsigned long>(c) < 0x20 || c == 0x7F || !IsEncodable(c)) return false;
    return true;
}

bool ParseHive(const std::string& text, RegKeyNode& root, std::string& error) {
    root = RegKeyNode();
    if (text.size() > kMaxHiveFileSize) {
        error = "file too large";
        return false;
    }
    std::wstring wide;
    if (!base::encodings::StrictWideFromUtf8(text, wide)) {
        error = "not UTF-8 text";
        return false;
    }
    RegKeyNode* current = nullptr;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < wide.size()) {
        std::size_t end = wide.find(L'\n', pos);
        if (end == std::wstring::npos) end = wide.size();
        std::wstring line = wide.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.find_first_not_of(L" \t") == std::wstring::npos || line[0] == L';') continue;
        const char* reason = nullptr;
        if (line[0] == L'[') {
            current = ParseKeyLine(line, root, reason);
            if (current) continue;
        } else if (!current) {
            reason = "value outside a key";
        } else if (ParseValueLine(line, *current, reason)) {
            continue;
        }
        error = "line " + std::to_string(lineNumber) + ": " + (reason ? reason : "cannot parse");
        root = RegKeyNode();
        return false;
    }
    return true;
}

std::string SerializeHive(const RegKeyNode& root, const char* hiveName) {
    std::string out = "; Brindlecast registry: ";
    out += hiveName;
    out +=
        "\n; [key path] lines, then its values: @ is the unnamed one; sz:\"text\", dword:hex, "
        "hex(type):bytes\n";
    WriteKey(out, root, std::wstring());
    return out;
}

}  // namespace detail
}  // namespace registry
