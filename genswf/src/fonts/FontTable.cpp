#include "genswf/fonts/FontTable.h"

#include <memory>
#include <new>

namespace genswf {
namespace {

std::unique_ptr<CFontTable> MakeGlobalTable() {
    std::unique_ptr<CFontTable> table(new (std::nothrow) CFontTable);
    if (table) {
        table->AddFont(L"Arial", kFontKindText, 0);
        table->AddFont(L"Webdings", kFontKindPicture, 0);
        table->AddFont(L"Wingdings", kFontKindPicture, 0);
        table->AddFont(L"Wingdings 2", kFontKindPicture, 0);
        table->AddFont(L"Wingdings 3", kFontKindPicture, 0);
    }
    return table;
}

const std::unique_ptr<CFontTable> g_fontTable = MakeGlobalTable();

}  // namespace

void CFontTable::AddFont(const std::wstring& name, int kind, int group) { m_rows.push_back({name, kind, group}); }

std::vector<std::wstring> CFontTable::GetNamesOfKind(int kind) const {
    std::vector<std::wstring> names;
    for (const FontInfo& row : m_rows)
        if (row.kind == kind) names.push_back(row.faceName);
    return names;
}

const CFontTable* CFontTable::GetGlobal() { return g_fontTable.get(); }

}  // namespace genswf
