#pragma once
// A font source of named test fonts (so each test decides what "the system" has) and a movie.

#include "TestFont.h"
#include "genswf/fonts/SwfFont.h"
#include "genswf/movie/Movie.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace fontstest {

class FakeFonts {
public:
    FakeFonts() {
        m_previous = genswf::SetFontDataSource(
            [this](const std::wstring& face, bool bold, bool italic, std::vector<std::uint8_t>& data) {
                requests.push_back(face);
                auto found = fonts.find(std::make_tuple(face, bold, italic));
                if (found == fonts.end()) found = fonts.find(std::make_tuple(face, false, false));
                if (found == fonts.end()) return false;
                data = found->second;
                return true;
            });
    }
    ~FakeFonts() { genswf::SetFontDataSource(m_previous); }
    FakeFonts(const FakeFonts&) = delete;
    FakeFonts& operator=(const FakeFonts&) = delete;

    void Add(const std::wstring& face, std::vector<std::uint8_t> data, bool bold = false, bool italic = false) {
        fonts[std::make_tuple(face, bold, italic)] = std::move(data);
    }

    std::map<std::tuple<std::wstring, bool, bool>, std::vector<std::uint8_t>> fonts;
    std::vector<std::wstring> requests;

private:
    genswf::FontDataSource m_previous;
};

}  // namespace fontstest
