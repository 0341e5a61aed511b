#pragma once
// What the wrapper tests share: one-slide presentations in the in-memory host, the failure texts
// the wrappers raise and the references held on a document.

#include "PptFailureText.h"
#include "genswf/utils/Exceptions.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace wrapperstest {

using bctest::PptFailureOf;

inline std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

struct OneSlide {
    PowerPoint::Host::CHostDocumentRef doc = PowerPoint::Host::CHostDocument::Create();
    PowerPoint::Host::CHostSlide* slide = doc->AddSlide();

    PowerPoint::Host::CHostShape* Add(PowerPoint::MsoShapeType type, const std::wstring& name) {
        return slide->AddShape(type, name, 10, 20, 100, 50);
    }
};

inline PowerPoint::Host::ActionData Link(const std::wstring& address, const std::wstring& subAddress = L"") {
    PowerPoint::Host::ActionData a;
    a.action = PowerPoint::ppActionHyperlink;
    a.hyperlink.address = address;
    a.hyperlink.subAddress = subAddress;
    return a;
}

// A button linked on click and on mouse-over, and a text whose characters 11 to 16 ("report")
// are linked.
struct LinkedSlide : OneSlide {
    PowerPoint::Host::CHostShape* button = Add(PowerPoint::msoAutoShape, L"Button");
    PowerPoint::Host::CHostShape* body = slide->AddTextBox(L"Body", 0, 100, 400, 40, L"Read this report today.");
    LinkedSlide() {
        button->data.click = Link(L"https://example.org/a", L"top");
        button->data.over = Link(L"https://example.org/b");
        PowerPoint::Host::TextLinkData text;
        text.start = 10;
        text.length = 6;
        text.click = Link(L"report.html");
        body->data.text.links.push_back(text);
    }
    CComPtr<PowerPoint::Hyperlinks> SlideHyperlinks() {
        CComPtr<PowerPoint::Hyperlinks> links;
        EXPECT_EQ(S_OK, slide->Interface()->get_Hyperlinks(&links));
        return links;
    }
    CComPtr<PowerPoint::ActionSetting> Action(PowerPoint::Host::CHostShape* shape,
                                              PowerPoint::PpMouseActivation activation) {
        CComPtr<PowerPoint::ActionSettings> settings;
        EXPECT_EQ(S_OK, shape->Interface()->get_ActionSettings(&settings));
        CComPtr<PowerPoint::ActionSetting> action;
        EXPECT_EQ(S_OK, settings->Item(activation, &action));
        return action;
    }
    CComPtr<PowerPoint::Hyperlink> HyperlinkAt(LONG index) {
        CComPtr<PowerPoint::Hyperlink> link;
        EXPECT_EQ(S_OK, SlideHyperlinks()->Item(index + 1, &link));
        return link;
    }
};

// "PPT Exception in file genswf/src/ppt/<source> at line <line>"; ".cpp" is added when the
// source is named without it.
inline std::wstring PptMessage(const char* source, int line) {
    std::string file = source;
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".cpp") != 0) file += ".cpp";
    return bctest::PptFailureText("genswf/src/ppt/" + file, line);
}

// References held on the document (every host object counts on it).
inline ULONG Refs(const PowerPoint::Host::CHostDocumentRef& doc) {
    const ULONG n = doc->AddRef();
    doc->Release();
    return n - 1;
}

}  // namespace wrapperstest
