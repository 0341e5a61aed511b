#pragma once
// The process-wide table of stand-by faces: where a character goes when none of the faces a
// text asks for can show it.

#include <string>
#include <vector>

namespace genswf {

// How a character is looked up; decides the stand-by faces.
enum FontKind {
    kFontKindNone = 0,
    kFontKindText = 1,
    kFontKindPicture = 2,  // dingbats
    kFontKindSymbol = 3,   // a code unit in 0xF000-0xF0FF
};

struct FontInfo {
    std::wstring faceName;
    int kind = 0;
    int group = 0;
};

class CFontTable {
public:
    CFontTable() = default;
    virtual ~CFontTable() = default;
    CFontTable(const CFontTable&) = delete;
    CFontTable& operator=(const CFontTable&) = delete;

    void AddFont(const std::wstring& name, int kind, int group);
    // Face names of the rows of this kind, in row order.
    std::vector<std::wstring> GetNamesOfKind(int kind) const;
    const std::vector<FontInfo>& GetRows() const { return m_rows; }

    // The table made at start-up ("Arial"; "Webdings", "Wingdings", "Wingdings 2", "Wingdings 3");
    // null only when it could not be made.
    static const CFontTable* GetGlobal();

private:
    std::vector<FontInfo> m_rows;
};

}  // namespace genswf
