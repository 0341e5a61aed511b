#pragma once
// The mouse actions of slide objects as plain records: which shape (and, for linked text, which
// characters) an action belongs to, on which mouse event, and where its hyperlink goes. The slide
// collects them once; shapes and text pieces keep the records that concern them, and a linked
// object hands its button and its records to the movie's hyperlink pass.

#include "genswf/ppt/Ppt.h"

#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CPptActionSetting;
class CPptHyperlink;
class CButtonObject;

class CActionSetting {
public:
    CActionSetting() = default;
    virtual ~CActionSetting() = default;
    CActionSetting(const CActionSetting&) = delete;
    CActionSetting& operator=(const CActionSetting&) = delete;

    // Reads the setting's hyperlink, owner and mouse event; object-model failures throw
    // CPPTException. A hyperlink on neither a shape nor a text range is kept without an owner.
    static std::shared_ptr<CActionSetting> Create(CPptActionSetting& actionSetting);

    // Same owner, same characters, same mouse event; the action and the target do not count.
    bool IsEqual(const CActionSetting& other) const;

    std::shared_ptr<CPptHyperlink> hyperlink;
    LONG hyperlinkType = 0;  // 1 on a shape, 0 on a text range
    LONG action = 0;         // PpActionType
    LONG mouseEvent = 0;     // 1 click, 2 mouse-over
    std::wstring shapeName;
    LONG textStart = 0;   // 1-based; 0 for a shape
    LONG textLength = 0;  // 0 for a shape
};

class CActionSettingList {
public:
    CActionSettingList() = default;
    virtual ~CActionSettingList() = default;
    CActionSettingList(const CActionSettingList&) = delete;
    CActionSettingList& operator=(const CActionSettingList&) = delete;

    void Add(const std::shared_ptr<CActionSetting>& setting);
    // Same number of records, each with an equal one in the other list, in any order.
    bool IsEqual(const CActionSettingList& other) const;

    bool IsEmpty() const { return settings.empty(); }
    std::size_t GetCount() const { return settings.size(); }
    const std::shared_ptr<CActionSetting>& GetAt(std::size_t index) const { return settings.at(index); }

    std::vector<std::shared_ptr<CActionSetting>> settings;
};

std::shared_ptr<CActionSettingList> CreateActionSettingList();

// A linked object's button, its records and the 0-based index of its slide.
class CHyperlinkSource {
public:
    CHyperlinkSource(std::shared_ptr<CButtonObject> button, std::shared_ptr<CActionSettingList> list, LONG slideId)
        : button(std::move(button)), actionSettings(std::move(list)), slideId(slideId) {}
    virtual ~CHyperlinkSource() = default;
    CHyperlinkSource(const CHyperlinkSource&) = delete;
    CHyperlinkSource& operator=(const CHyperlinkSource&) = delete;

    std::shared_ptr<CButtonObject> button;
    std::shared_ptr<CActionSettingList> actionSettings;
    LONG slideId = 0;
};

std::shared_ptr<CHyperlinkSource> CreateHyperlinkButton(const std::shared_ptr<CButtonObject>& button,
                                                        const std::shared_ptr<CActionSettingList>& list, LONG slideId);

}  // namespace genswf
