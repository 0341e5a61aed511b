#pragma once
// Shared helpers: frames at a known place and expected values from the font's own metrics.

#include "fonts/layout/TextLayout.h"

#include <gtest/gtest.h>

namespace layouttest {

constexpr float kLeft = 100.0f, kTop = 50.0f;
constexpr float kEps = 0.01f;

inline fonts::layout::TextLayoutInput Input(float width, float height = 400.0f) {
    fonts::layout::TextLayoutInput in;
    in.frame.left = kLeft;
    in.frame.top = kTop;
    in.frame.width = width;
    in.frame.height = height;
    in.frame.marginLeft = in.frame.marginTop = in.frame.marginRight = in.frame.marginBottom = 0;
    return in;
}

inline fonts::layout::RunStyle Style(float size, const wchar_t* font = L"Arial") {
    fonts::layout::RunStyle s;
    s.fontName = font;
    s.size = size;
    return s;
}

inline std::shared_ptr<const fonts::CFontMetrics> Metrics(const wchar_t* font = L"Arial", bool bold = false) {
    return fonts::GetFontMetrics(font, bold, false);
}

// Advance of a text in points, straight from the face's advances.
inline float Advance(const std::wstring& text, float size, const wchar_t* font = L"Arial") {
    auto m = Metrics(font);
    float w = 0;
    for (wchar_t c : text)
        if (c >= 0x20)  // breaks and marks take no room
            w += float(m->Advance(char32_t(c))) / float(m->UnitsPerEm()) * size;
    return w;
}

// Single line spacing: 1.2 times the size, whatever the face.
inline float Spacing(float size, const wchar_t* = L"Arial") { return 1.2f * size; }

inline bool HaveFonts() { return !Metrics()->IsSynthetic(); }

inline std::wstring TextOf(fonts::layout::CTextLayout& layout, fonts::layout::TextSpan span) {
    return layout.Text().substr(std::size_t(span.start), std::size_t(span.length));
}

}  // namespace layouttest

#define REQUIRE_FONTS()                                                                             \
    do {                                                                                            \
        if (!layouttest::HaveFonts()) GTEST_SKIP() << "no system fonts (fonts-liberation missing)"; \
    } while (0)
