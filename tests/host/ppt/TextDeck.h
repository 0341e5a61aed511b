#pragma once
// A slide with one text box over the in-memory host.

#include "WrapperTestSupport.h"
#include "genswf/utils/Exceptions.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace wrapperstest {

using namespace PowerPoint;
using namespace PowerPoint::Host;

// "One two three\rFour." with a bold run; both paragraphs numbered from 3, the second at
// level 2.
struct TextDeck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* shape;
    CComPtr<TextFrame> frame;
    TextDeck() {
        shape = doc->AddSlide()->AddShape(msoTextBox, L"Body", 10, 20, 300, 200);
        shape->data.hasTextFrame = msoTrue;
        FontData bold;
        bold.bold = msoTrue;
        ParagraphData numbered;
        numbered.bullet.type = ppBulletNumbered;
        numbered.bullet.visible = msoTrue;
        numbered.bullet.startValue = 3;
        shape->data.text.AddRun(L"One two", FontData(), numbered);
        shape->data.text.AddRun(L" three\r", bold, numbered);
        shape->data.text.AddRun(L"Four.", FontData(), numbered);
        shape->data.text.paragraphs[1].indentLevel = 2;
        EXPECT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
    }
    // The document's reference count, to see that wrappers give back what they took.
    ULONG References() {
        doc->AddRef();
        return doc->Release();
    }
};

}  // namespace wrapperstest
