#pragma once
// The hyperlinks of a slide, one hyperlink read into plain values, and where a hyperlink sits.

#include "Ppt.h"

#include <memory>
#include <string>
#include <vector>

namespace genswf {

// Every hyperlink of a slide, listed when constructed.
class CPptHyperlinks : public CPptObject<PowerPoint::Hyperlinks> {
public:
    explicit CPptHyperlinks(PowerPoint::Hyperlinks* hyperlinks);
    ~CPptHyperlinks() override;

    LONG GetCount() const { return static_cast<LONG>(m_items.size()); }
    // The hyperlink at 0-based index, AddRef'ed; null outside the list.
    PowerPoint::Hyperlink* GetItemPtr(LONG index) const;

private:
    CComPtr<PowerPoint::Hyperlinks> m_pHyperlinks;
    std::vector<CComPtr<PowerPoint::Hyperlink>> m_items;
};

// One hyperlink, read when constructed.
class CPptHyperlink : public CPptObject<PowerPoint::Hyperlink> {
public:
    explicit CPptHyperlink(PowerPoint::Hyperlink* hyperlink);
    ~CPptHyperlink() override;

    PowerPoint::MsoHyperlinkType GetType() const { return m_type; }
    const std::wstring& GetAddress() const { return m_address; }
    const std::wstring& GetSubAddress() const { return m_subAddress; }
    // Empty unless the hyperlink is on text.
    const std::wstring& GetTextToDisplay() const { return m_textToDisplay; }

    // Same target: Address and SubAddress agree.
    bool operator==(const CPptHyperlink& other) const;
    bool operator!=(const CPptHyperlink& other) const { return !(*this == other); }

private:
    CComPtr<PowerPoint::Hyperlink> m_pHyperlink;
    std::wstring m_address;
    std::wstring m_textToDisplay;
    std::wstring m_subAddress;
    PowerPoint::MsoHyperlinkType m_type = 0;
};

// The shape (and, for linked text, the characters) a hyperlink belongs to, with its action.
class CHyperlinkAnchor {
public:
    explicit CHyperlinkAnchor(CPptHyperlink& hyperlink);
    virtual ~CHyperlinkAnchor() = default;

    // Empty when the owning shape could not be found.
    const std::wstring& GetShapeName() const { return m_shapeName; }
    const std::wstring& GetAddress() const { return m_address; }
    const std::wstring& GetSubAddress() const { return m_subAddress; }
    PowerPoint::MsoHyperlinkType GetType() const { return m_type; }
    // 0-based position and length of the linked characters; 0 unless a text hyperlink.
    LONG GetStart() const { return m_start; }
    LONG GetLength() const { return m_length; }
    PowerPoint::PpActionType GetAction() const { return m_action; }

private:
    std::wstring m_shapeName;
    std::wstring m_address;
    std::wstring m_subAddress;
    PowerPoint::MsoHyperlinkType m_type = 0;
    LONG m_start = 0;
    LONG m_length = 0;
    PowerPoint::PpActionType m_action = 0;
};

std::shared_ptr<CHyperlinkAnchor> CreateHyperlinkAnchor(CPptHyperlink& hyperlink);

}  // namespace genswf
