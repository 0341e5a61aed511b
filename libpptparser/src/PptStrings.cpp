#include "libpptparser/PptStrings.h"

#include <cwchar>

namespace libpptparser {

namespace {

// Windows-1252 bytes 0x80-0x9F; the five unassigned bytes keep their C1 code points.
const wchar_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsWindows1252(unsigned codePage) { return codePage == 0 || codePage == 1252; }

char WideToCp1252(wchar_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::wstring AnsiToWide(const std::string& text, unsigned codePage) {
  std::wstring out;
  out.reserve(text.size());
  if (IsWindows1252(codePage)) {
    for (unsigned char c : text) out.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : static_cast<wchar_t>(c));
  } else if (codePage == 28591) {
    for (unsigned char c : text) out.push_back(static_cast<wchar_t>(c));
  } else if (codePage == 65001) {
    out = Utf8ToWide(text);
  } else {
    return std::wstring();
  }
  return out;
}

std::string WideToAnsi(const std::wstring& text, unsigned codePage) {
  std::string out;
  if (text.empty()) return out;
  out.reserve(text.size());
  if (IsWindows1252(codePage)) {
    for (wchar_t c : text) out.push_back(WideToCp1252(c));
  } else if (codePage == 28591) {
    for (wchar_t c : text) out.push_back(c >= 0 && c <= 0xFF ? static_cast<char>(c) : '?');
  } else if (codePage == 65001) {
    out = WideToUtf8(text);
  }
  return out;
}

std::wstring Latin1ToWide(const uint8_t* bytes, size_t count) {
  std::wstring out(count, L'\0');
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<wchar_t>(bytes[i]);
  return out;
}

long ParseInteger(const std::wstring& text) {
  if (text.size() >= 3 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X'))
    return std::wcstol(text.c_str() + 2, nullptr, 16);
  if (text.size() >= 2 && text[0] == L'#') return std::wcstol(text.c_str() + 1, nullptr, 16);
  return std::wcstol(text.c_str(), nullptr, 10);
}

std::wstring IntegerToWide(long value) { return std::to_wstring(value); }

std::string MakeXmlSafe(const std::string& text) {
  std::string out = text;
  for (char& ch : out) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '&' || c == '<' || c == '>' || c < 32 || c > 127) ch = '?';
  }
  return out;
}

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t wc : text) {
    uint32_t c = static_cast<uint32_t>(wc);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(static_cast<wchar_t>(cp));
    i += extra + 1;
  }
  return out;
}

}  // namespace libpptparser
