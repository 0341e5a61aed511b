// Where a hyperlink sits: the shape that carries it and, for linked text, which characters.

#include "PptHelpers.h"
#include "genswf/ppt/PptActionSetting.h"
#include "genswf/ppt/PptHyperlinks.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"

namespace genswf {

namespace {

std::wstring NameOfShape(PowerPoint::Shape* shape) {
    if (!shape) return std::wstring();
    return CreatePptShape(shape)->GetName();
}

}  // namespace

CHyperlinkAnchor::CHyperlinkAnchor(CPptHyperlink& hyperlink)
    : m_address(hyperlink.GetAddress()), m_subAddress(hyperlink.GetSubAddress()), m_type(hyperlink.GetType()) {
    CComPtr<IUnknown> parent;
    parent.Attach(hyperlink.GetParent());
    CComPtr<PowerPoint::ActionSetting> actionSetting;
    actionSetting.Attach(QueryActionSetting(parent));
    // A hyperlink reached other than through an action setting has no owner to name.
    if (!actionSetting) ThrowPptException(__FILE__, __LINE__);
    CPptActionSetting action(actionSetting);
    m_action = action.GetAction();

    CComPtr<IUnknown> owner;
    owner.Attach(action.GetParent());
    if (m_type == PowerPoint::msoHyperlinkShape) {
        CComPtr<PowerPoint::Shape> shape;
        shape.Attach(QueryShape(owner));
        m_shapeName = NameOfShape(shape);
    } else if (m_type == PowerPoint::msoHyperlinkRange) {
        CComPtr<PowerPoint::TextRange> range;
        range.Attach(QueryTextRange(owner));
        if (!range) return;
        std::shared_ptr<CPptTextRange> text = CreatePptTextRange(range);
        m_start = text->GetStart();
        m_length = text->GetLength();
        CComPtr<PowerPoint::TextFrame> frame;
        frame.Attach(text->GetParentTextFrame());
        if (!frame) return;
        CComPtr<PowerPoint::Shape> shape;
        shape.Attach(CreatePptTextFrame(frame)->GetParentShape());
        m_shapeName = NameOfShape(shape);
    }
}

std::shared_ptr<CHyperlinkAnchor> CreateHyperlinkAnchor(CPptHyperlink& hyperlink) {
    return std::make_shared<CHyperlinkAnchor>(hyperlink);
}

}  // namespace genswf
