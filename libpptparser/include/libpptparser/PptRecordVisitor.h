#pragma once
// The visitor that records and style runs accept. Every visit is a no-op unless overridden.

namespace libpptparser {

class CPptDefaultAtom;
class CPptEscherClientAnchorAtom;
class CPptDateTimeMCAtom;
class CPptSlideNumberMCAtom;
class CPptAnimIterationAtom;
class CPptSlideAtom;
class CPptSlidePersistAtom;
class CPptCharacterStyle;
class CPptParagraphStyle;
class CPptFontEntityAtom;
class CPptStyleTextPropAtom;
class CPptTextSpecInfoAtom;
class CPptTextHeaderAtom;
class CPptOutlineTextRefAtom;
class CPptAnimateTargetAtom;
class CPptAnimateSetAtom;
class CPptAnimNodeAtom;
class CPptAnimAttributeValueAtom;
class CPptAnimReferenceAtom;
class CPptAnimationInfoAtom;
class CPptEscherOPTAtom;
class CPptEscherSpAtom;
class CPptSoundCollAtom;
class CPptSoundDataAtom;
class CPptCommonString;
class CPptContainer;

class IPptRecordVisitor {
public:
    virtual ~IPptRecordVisitor() = default;
    virtual void Visit(CPptDefaultAtom&) {}
    virtual void Visit(CPptEscherClientAnchorAtom&) {}
    virtual void Visit(CPptDateTimeMCAtom&) {}
    virtual void Visit(CPptSlideNumberMCAtom&) {}
    virtual void Visit(CPptAnimIterationAtom&) {}
    virtual void Visit(CPptSlideAtom&) {}
    virtual void Visit(CPptSlidePersistAtom&) {}
    virtual void Visit(CPptCharacterStyle&) {}
    virtual void Visit(CPptParagraphStyle&) {}
    virtual void Visit(CPptFontEntityAtom&) {}
    virtual void Visit(CPptStyleTextPropAtom&) {}
    virtual void Visit(CPptTextSpecInfoAtom&) {}
    virtual void Visit(CPptTextHeaderAtom&) {}
    virtual void Visit(CPptOutlineTextRefAtom&) {}
    virtual void Visit(CPptAnimateTargetAtom&) {}
    virtual void Visit(CPptAnimateSetAtom&) {}
    virtual void Visit(CPptAnimNodeAtom&) {}
    virtual void Visit(CPptAnimAttributeValueAtom&) {}
    virtual void Visit(CPptAnimReferenceAtom&) {}
    virtual void Visit(CPptAnimationInfoAtom&) {}
    virtual void Visit(CPptEscherOPTAtom&) {}
    virtual void Visit(CPptEscherSpAtom&) {}
    virtual void Visit(CPptSoundCollAtom&) {}
    virtual void Visit(CPptSoundDataAtom&) {}
    // Both string atoms.
    virtual void Visit(CPptCommonString&) {}
    // Every container class.
    virtual void Visit(CPptContainer&) {}
};

}  // namespace libpptparser
