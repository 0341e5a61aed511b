#include "Html.h"

#include "base/encodings/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tarnquill {
namespace {

bool EqualsNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Text of a valid document is valid UTF-8; a stray byte would become U+FFFD.
void AppendUtf32(std::u32string& out, const std::string& utf8) {
    // ASCII, as most text is, is its own code points.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.append(utf8.begin(), utf8.end());
        return;
    }
    for (wchar_t c : base::encodings::WideFromUtf8(utf8)) out.push_back(static_cast<char32_t>(c));
}

}  // namespace

std::string RewriteFontFaces(const std::string& html,
                             const std::function<std::optional<std::string>(const std::string&)>& map,
                             const std::function<void(const std::string&)>& unknown) {
    std::string out;
    std::size_t pos = 0;
    while (pos < html.size()) {
        std::size_t open = html.find('<', pos);
        if (open == std::string::npos) break;
        std::size_t close = html.find('>', open);
        if (close == std::string::npos) break;
        out.append(html, pos, open - pos);
        std::size_t p = open + 1;
        while (p < close && !IsSpace(html[p]) && html[p] != '/') ++p;
        if (!EqualsNoCase(html.substr(open + 1, p - open - 1), "font")) {
            out.append(html, open, close + 1 - open);
            pos = close + 1;
            continue;
        }
        out.append(html, open, p - open);
        // Attributes: name, optional "=" and a quoted or bare value.
        while (p < close) {
            std::size_t start = p;
            while (p < close && IsSpace(html[p])) ++p;
            std::size_t nameStart = p;
            while (p < close && !IsSpace(html[p]) && html[p] != '=') ++p;
            std::string attr = html.substr(nameStart, p - nameStart);
            std::size_t q = p;
            while (q < close && IsSpace(html[q])) ++q;
            if (q >= close || html[q] != '=') {
                out.append(html, start, p - start);
                if (p == nameStart) break;  // only blanks were left
                continue;
            }
            ++q;
            while (q < close && IsSpace(html[q])) ++q;
            char quote = q < close && (html[q] == '"' || html[q] == '\'') ? html[q] : 0;
            std::size_t valueStart = quote ? q + 1 : q;
            std::size_t valueEnd = valueStart;
            while (valueEnd < close && (quote ? html[valueEnd] != quote : !IsSpace(html[valueEnd]))) ++valueEnd;
            std::size_t end = quote && valueEnd < close ? valueEnd + 1 : valueEnd;
            if (EqualsNoCase(attr, "face")) {
                std::string value = html.substr(valueStart, valueEnd - valueStart);
                auto mapped = map(value);
                if (!mapped) unknown(value);
                out.append(html, start, valueStart - start);
                out += mapped ? *mapped : value;
                out.append(html, valueEnd, end - valueEnd);
            } else {
                out.append(html, start, end - start);
            }
            p = end;
        }
        out.push_back('>');
        pos = close + 1;
    }
    out.append(html, pos, std::string::npos);
    return out;
}

std::u32string HtmlPlainText(const std::string& html) {
    std::u32string out;
    std::string run;
    for (std::size_t i = 0; i < html.size();) {
        char c = html[i];
        if (c == '<') {
            std::size_t close = html.find('>', i);
            if (close == std::string::npos) break;
            i = close + 1;
        } else if (c == '&') {
            std::size_t semi = html.find(';', i);
            std::string name = semi == std::string::npos ? "" : html.substr(i + 1, semi - i - 1);
            char32_t cp = 0;
            if (name == "lt")
                cp = '<';
            else if (name == "gt")
                cp = '>';
            else if (name == "amp")
                cp = '&';
            else if (name == "quot")
                cp = '"';
            else if (name == "apos")
                cp = '\'';
            else if (name == "nbsp")
                cp = 0xa0;
            else if (name.size() > 1 && name[0] == '#')
                cp = static_cast<char32_t>(name[1] == 'x' || name[1] == 'X'
                                               ? std::strtoul(name.c_str() + 2, nullptr, 16)
                                               : std::strtoul(name.c_str() + 1, nullptr, 10));
            AppendUtf32(out, run);
            run.clear();
            if (cp) {
                out.push_back(cp);
                i = semi + 1;
            } else {
                out.push_back('&');
                ++i;
            }
        } else {
            if (c != '\r' && c != '\n' && c != '\t') run.push_back(c);
            ++i;
        }
        if (!run.empty() && (i >= html.size() || html[i] == '<' || html[i] == '&')) {
            AppendUtf32(out, run);
            run.clear();
        }
    }
    AppendUtf32(out, run);
    return out;
}

}  // namespace tarnquill
