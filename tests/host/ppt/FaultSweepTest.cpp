// Every wrapper over a host that fails midway: wherever the failure falls, the wrappers (and
// the records made from them) give back every reference they took once they are gone.

#include "genswf/animation/TimeLine.h"
#include "genswf/ppt/PptActionSetting.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/ppt/PptBulletFormat.h"
#include "genswf/ppt/PptColorFormat.h"
#include "genswf/ppt/PptFillFormat.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptHeadersFooters.h"
#include "genswf/ppt/PptHyperlinks.h"
#include "genswf/ppt/PptLineFormat.h"
#include "genswf/ppt/PptMaster.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptPresentation.h"
#include "genswf/ppt/PptRuler.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptShapes.h"
#include "genswf/ppt/PptSlide.h"
#include "genswf/ppt/PptSlides.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/ppt/PptTimeLine.h"
#include "genswf/text/BulletRecord.h"
#include "genswf/utils/Exceptions.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <string>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

// A call the test makes itself was refused; it ends the walk as a wrapper's failure would.
struct Refused {};

void Check(HRESULT hr) {
    if (hr < 0) throw Refused();
}

template <class I>
CComPtr<I> Adopt(I* p) {
    CComPtr<I> held;
    held.Attach(p);
    return held;
}

// Two slides: a filled box with a linked click and an entry effect, a text of two numbered
// paragraphs with a linked word and an effect on its second paragraph, and a plain slide.
struct Deck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* box = nullptr;
    CHostShape* body = nullptr;
    Deck() {
        CHostSlide* slide = doc->AddSlide();
        box = slide->AddShape(msoAutoShape, L"Box", 10, 10, 100, 50);
        box->data.fill.type = msoFillSolid;
        box->data.fill.foreColor.rgb = 0x00336699;
        box->data.click.action = ppActionHyperlink;
        box->data.click.hyperlink.address = L"https://example.org/";
        box->data.animation.animate = msoTrue;
        box->data.animation.afterEffect = ppAfterEffectDim;
        body = slide->AddShape(msoTextBox, L"Body", 10, 100, 300, 200);
        body->data.hasTextFrame = msoTrue;
        ParagraphData numbered;
        numbered.bullet.type = ppBulletNumbered;
        numbered.bullet.visible = msoTrue;
        body->data.text.AddRun(L"One two\rThree", FontData(), numbered);
        TextLinkData link;
        link.start = 4;
        link.length = 3;
        link.click.action = ppActionHyperlink;
        link.click.hyperlink.address = L"two.html";
        body->data.text.links.push_back(link);
        slide->AddEffect(box, msoAnimEffectFly);
        slide->AddEffect(body, msoAnimEffectFade)->data.paragraph = 2;
        doc->AddSlide()->AddShape(msoAutoShape, L"Alone", 0, 0, 10, 10);
    }
    ULONG References() {
        doc->AddRef();
        return doc->Release();
    }
};

void WalkText(CPptShape& shape) {
    std::shared_ptr<CPptTextFrame> frame = shape.GetTextFrame();
    frame->GetRuler()->GetLevels()->GetItem(1)->GetLeftMargin();
    Adopt(frame->GetParentShape());
    CComPtr<PowerPoint::TextRange> whole = Adopt(frame->GetTextRange());
    auto text = CreatePptTextRange(whole);
    Adopt(text->GetParentTextFrame());
    const LONG paragraphs = text->Paragraphs(-1, -1)->GetCount();
    for (LONG i = 0; i < paragraphs; ++i) {
        std::shared_ptr<CPptTextRange> paragraph = text->Paragraphs(i, 1);
        paragraph->GetFont()->GetBaselineOffset();
        std::shared_ptr<CPptBulletFormat> bullet = paragraph->GetParagraphFormat()->GetBullet();
        bullet->GetBulletText();
        bullet->GetFont();
        CreateBulletRecord(nullptr, whole, Adopt(paragraph->GetParagraphFormat()->GetBulletPtr()));
        paragraph->Words(0, 1)->Characters(0, 1)->GetText();
    }
}

void WalkShape(PowerPoint::Shape* raw) {
    std::shared_ptr<CPptShape> shape = CreatePptShape(raw);
    shape->GetName();
    shape->GetType();
    shape->GetFill()->GetForeColor()->GetRGB();
    shape->GetLine()->GetTransparency();
    CreatePptAnimationSettings(Adopt(shape->GetAnimationSettingsPtr()), nullptr, false);
    CComPtr<ActionSettings> actions = Adopt(shape->GetActionSettingsPtr());
    CComPtr<ActionSetting> click;
    Check(actions->Item(ppMouseClick, &click));
    CPptActionSetting action(click);
    if (action.GetAction() == ppActionHyperlink) {
        CPptHyperlink link(Adopt(action.GetHyperlink()));
        CreateHyperlinkAnchor(link);
    }
    if (shape->GetHasTextFrame() == msoTrue) WalkText(*shape);
    std::shared_ptr<CPptShape> copy = shape->Duplicate();
    copy->SetRotation(0.0f);
    copy->Delete();
}

void WalkSlide(const std::shared_ptr<CPptSlide>& slide, CHostSlide* hostSlide) {
    slide->GetSlideID();
    slide->GetSlideIndex();
    slide->GetMaster()->GetWidth();
    std::shared_ptr<CPptHeadersFooters> headersFooters = slide->GetHeadersFooters();
    headersFooters->GetFooter();
    headersFooters->GetDateAndTime();
    slide->GetShapes()->GetCount();
    for (CHostShape* shape : std::vector<CHostShape*>(hostSlide->shapes)) WalkShape(shape->Interface());

    CComPtr<Hyperlinks> hyperlinks;
    Check(hostSlide->Interface()->get_Hyperlinks(&hyperlinks));
    CPptHyperlinks links(hyperlinks);
    for (LONG i = 0; i < links.GetCount(); ++i) {
        CPptHyperlink link(Adopt(links.GetItemPtr(i)));
        CreateHyperlinkAnchor(link);
    }

    CComPtr<TimeLine> timeLinePtr;
    Check(hostSlide->Interface()->get_TimeLine(&timeLinePtr));
    CPptTimeLine timeLine(timeLinePtr);
    std::shared_ptr<CPptSequence> sequence = timeLine.GetMainSequence();
    for (LONG i = 0; i < sequence->GetCount(); ++i) CreateTimeLineEffect(*sequence->GetEffect(i));

    slide->Duplicate()->Delete();
}

void Walk(Deck& deck) {
    std::shared_ptr<CPptPresentation> presentation = CreatePptPresentation(deck.doc->Presentation());
    presentation->GetFullName();
    Adopt(presentation->GetApplication());
    std::shared_ptr<CPptSlides> slides = presentation->GetSlides();
    const std::vector<CHostSlide*> hostSlides = deck.doc->Slides();
    for (LONG i = 0; i < slides->GetCount(); ++i)
        WalkSlide(slides->GetSlide(static_cast<std::uint32_t>(i)), hostSlides[static_cast<std::size_t>(i)]);
    // Last, a read that fails aloud: while the host refuses everything, no walk gets past it.
    CreatePptShape(deck.box->Interface())->GetLeft();
}

// Walks a fresh deck with the host failing from its k-th call on (times -1) or at that call
// only (times 1). True when the walk ran to its end; the references are checked either way.
bool WalkFailingAt(int k, int times) {
    Deck deck;
    const ULONG before = deck.References();
    deck.doc->Fail("*", E_FAIL, nullptr, times, k);
    bool finished = false;
    try {
        Walk(deck);
        finished = true;
    } catch (const CBaseException&) {
    } catch (const Refused&) {}
    deck.doc->ClearFaults();
    EXPECT_EQ(before, deck.References()) << "failing at call " << k << (times < 0 ? " and on" : " only");
    return finished;
}

TEST(WrapperFaults, EveryReferenceIsGivenBackWhereverTheHostFails) {
    {
        Deck deck;
        const ULONG before = deck.References();
        Walk(deck);
        EXPECT_EQ(before, deck.References()) << "a walk without failures";
    }
    // From the first call on, then from each later one: the first k where the walk ends is the
    // number of calls it makes.
    int calls = 0;
    while (!WalkFailingAt(calls, -1)) {
        ++calls;
        ASSERT_LT(calls, 20000) << "the walk never ends";
    }
    EXPECT_GT(calls, 150) << "the walk reaches every wrapper";
    // One failure at each call, the walk going on where the wrappers let it.
    for (int k = 0; k < calls; ++k) WalkFailingAt(k, 1);
}

}  // namespace
