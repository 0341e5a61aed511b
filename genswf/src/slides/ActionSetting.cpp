#include "genswf/slides/SlideActions.h"

#include "genswf/ppt/PptActionSetting.h"
#include "genswf/ppt/PptHyperlinks.h"

#include "com/ComBstr.h"
#include "com/ComPtr.h"

namespace genswf {

namespace {

// Linked text may sit in a range cut from another range; its frame is a few Parents up.
constexpr int kMaxRangeNesting = 16;

// The owner of an action setting: the Shape or TextRange itself, or the ActionSettings collection
// whose Parent it is (both forms occur).
CComPtr<IUnknown> OwnerOf(IUnknown* parent) {
    CComPtr<PowerPoint::ActionSettings> collection;
    if (parent && parent->QueryInterface(PowerPoint::IID_ActionSettings, reinterpret_cast<void**>(&collection)) >= 0 &&
        collection) {
        CComPtr<IUnknown> owner;
        CHECK_PPT_HR(collection->get_Parent(&owner));
        if (!owner) THROW_PPT_EXCEPTION();
        return owner;
    }
    return CComPtr<IUnknown>(parent);
}

std::wstring ShapeNameOf(PowerPoint::Shape* shape) {
    CBstr name;
    CHECK_PPT_HR(shape->get_Name(&name));
    return name.ToWString();
}

}  // namespace

std::shared_ptr<CActionSetting> CActionSetting::Create(CPptActionSetting& actionSetting) {
    auto record = std::make_shared<CActionSetting>();

    CComPtr<PowerPoint::Hyperlink> link;
    link.Attach(actionSetting.GetHyperlink());
    record->hyperlink = std::make_shared<CPptHyperlink>(link);
    record->hyperlinkType = record->hyperlink->GetType();
    record->action = actionSetting.GetAction();

    PowerPoint::IDispatch* rawParent = actionSetting.GetParent();
    CComPtr<IUnknown> parent;
    parent.Attach(rawParent);
    CComPtr<IUnknown> owner = OwnerOf(parent);

    CComPtr<PowerPoint::ActionSettings> collection;
    if (record->hyperlinkType == PowerPoint::msoHyperlinkShape) {
        CComPtr<PowerPoint::Shape> shape;
        shape.Attach(QueryShape(owner));
        if (!shape) THROW_PPT_EXCEPTION();
        record->shapeName = ShapeNameOf(shape);
        CHECK_PPT_HR(shape->get_ActionSettings(&collection));
    } else if (record->hyperlinkType == PowerPoint::msoHyperlinkRange) {
        CComPtr<PowerPoint::TextRange> range;
        range.Attach(QueryTextRange(owner));
        if (!range) THROW_PPT_EXCEPTION();
        CHECK_PPT_HR(range->get_Start(&record->textStart));
        CHECK_PPT_HR(range->get_Length(&record->textLength));
        CHECK_PPT_HR(range->get_ActionSettings(&collection));

        CComPtr<PowerPoint::TextFrame> frame;
        CComPtr<IUnknown> up;
        CHECK_PPT_HR(range->get_Parent(&up));
        for (int depth = 0; up && !frame && depth < kMaxRangeNesting; ++depth) {
            frame.Attach(QueryTextFrame(up));
            if (frame) break;
            CComPtr<PowerPoint::TextRange> outer;
            outer.Attach(QueryTextRange(up));
            if (!outer) break;
            up.Release();
            CHECK_PPT_HR(outer->get_Parent(&up));
        }
        if (!frame) THROW_PPT_EXCEPTION();
        CComPtr<IUnknown> frameParent;
        CHECK_PPT_HR(frame->get_Parent(&frameParent));
        CComPtr<PowerPoint::Shape> shape;
        shape.Attach(QueryShape(frameParent));
        if (!shape) THROW_PPT_EXCEPTION();
        record->shapeName = ShapeNameOf(shape);
    } else {
        // Neither on a shape nor on text: kept without an owner, so no object ever claims it.
        record->mouseEvent = PowerPoint::ppMouseClick;
        return record;
    }

    if (!collection) THROW_PPT_EXCEPTION();
    CComPtr<PowerPoint::ActionSetting> click;
    CHECK_PPT_HR(collection->Item(PowerPoint::ppMouseClick, &click));
    if (!click) THROW_PPT_EXCEPTION();
    CPptActionSetting clickSetting(click);
    // Which of the two it is, not what it does: a mouse-over setting that does what the click
    // does is still no second click.
    record->mouseEvent = actionSetting.IsSameObject(clickSetting) ? PowerPoint::ppMouseClick : PowerPoint::ppMouseOver;
    return record;
}

bool CActionSetting::IsEqual(const CActionSetting& other) const {
    return shapeName == other.shapeName && textStart == other.textStart && textLength == other.textLength &&
           mouseEvent == other.mouseEvent;
}

void CActionSettingList::Add(const std::shared_ptr<CActionSetting>& setting) { settings.push_back(setting); }

bool CActionSettingList::IsEqual(const CActionSettingList& other) const {
    if (settings.size() != other.settings.size()) return false;
    for (const auto& mine : settings) {
        bool found = false;
        for (const auto& theirs : other.settings) {
            if (mine && theirs && mine->IsEqual(*theirs)) {
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
}

std::shared_ptr<CActionSettingList> CreateActionSettingList() { return std::make_shared<CActionSettingList>(); }

std::shared_ptr<CHyperlinkSource> CreateHyperlinkButton(const std::shared_ptr<CButtonObject>& button,
                                                        const std::shared_ptr<CActionSettingList>& list, LONG slideId) {
    return std::make_shared<CHyperlinkSource>(button, list, slideId);
}

}  // namespace genswf
