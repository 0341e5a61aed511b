#pragma once
// The text frame of a shape.

#include "Ppt.h"

#include <memory>

namespace genswf {

class CPptRuler;

class CPptTextFrame {
public:
    explicit CPptTextFrame(PowerPoint::TextFrame* frame);
    virtual ~CPptTextFrame();
    CPptTextFrame(const CPptTextFrame&) = delete;
    CPptTextFrame& operator=(const CPptTextFrame&) = delete;

    // The Shape holding the frame, AddRef'ed; null when its parent is not a shape.
    PowerPoint::Shape* GetParentShape();
    PowerPoint::MsoTextOrientation GetOrientation();
    // -1 when the frame has text.
    PowerPoint::MsoTriState GetHasText();
    // The whole text, AddRef'ed (wrap it with CreatePptTextRange).
    PowerPoint::TextRange* GetTextRange();
    // AddRef'ed.
    PowerPoint::Ruler* GetRulerPtr();
    std::shared_ptr<CPptRuler> GetRuler();
    // Writes AutoSize every time (ppAutoSizeNone before the shape is saved as a picture).
    void SetAutoSize(PowerPoint::PpAutoSize value);

private:
    CComPtr<PowerPoint::TextFrame> m_pFrame;
    CComPtr<PowerPoint::Shape> m_pParentShape;
    bool m_hasTextRead = false;
    PowerPoint::MsoTriState m_hasText = 0;
    CComPtr<PowerPoint::TextRange> m_pTextRange;
    bool m_orientationRead = false;
    PowerPoint::MsoTextOrientation m_orientation = 0;
    CComPtr<PowerPoint::Ruler> m_pRuler;
    std::shared_ptr<CPptRuler> m_ruler;
};

std::shared_ptr<CPptTextFrame> CreatePptTextFrame(PowerPoint::TextFrame* frame);

}  // namespace genswf
