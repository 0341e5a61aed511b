// The debug dump of the presentation model.

#include <cstdio>
#include <ostream>

#include "libpptparser/PptStrings.h"
#include "libpptparser/Presentation.h"

namespace libpptparser {

namespace {

template <class... Args>
std::string Format(const char* format, Args... args) {
    const int n = std::snprintf(nullptr, 0, format, args...);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::snprintf(&text[0], text.size() + 1, format, args...);
    return text;
}

}  // namespace

CPresentationXmlVisitor::CPresentationXmlVisitor(std::ostream& file, uint8_t depth) : m_file(file), m_depth(depth) {}

CPresentationXmlVisitor::~CPresentationXmlVisitor() = default;

void CPresentationXmlVisitor::Line(uint8_t depth, const std::string& text) {
    for (uint8_t i = 0; i < depth; ++i) m_file << "  ";
    m_file << text;
}

void CPresentationXmlVisitor::VisitPresentation(CPresentation& presentation) {
    Line(m_depth, "<Presentation>\n");
    CPresentationXmlVisitor child(m_file, static_cast<uint8_t>(m_depth + 1));
    if (const auto slides = presentation.GetSlides()) slides->Accept(child);
    Line(m_depth, "</Presentation>\n");
}

void CPresentationXmlVisitor::VisitSlides(CSlidesCollection& slides) {
    Line(m_depth, "<Slides>\n");
    CPresentationXmlVisitor child(m_file, static_cast<uint8_t>(m_depth + 1));
    for (size_t i = 0; i < slides.GetCount(); ++i) slides.GetItem(i)->Accept(child);
    Line(m_depth, "</Slides>\n");
}

void CPresentationXmlVisitor::VisitSlide(CSlide& slide) {
    Line(m_depth, Format("<Slide index=\"%d\">\n", static_cast<int>(slide.GetIndex())));
    CPresentationXmlVisitor child(m_file, static_cast<uint8_t>(m_depth + 1));
    if (const auto shapes = slide.GetShapes()) shapes->Accept(child);
    if (const auto animations = slide.GetAnimations()) animations->Accept(child);
    Line(m_depth, "</Slide>\n");
}

void CPresentationXmlVisitor::VisitShapes(CShapesCollection& shapes) {
    Line(m_depth, "<Shapes>\n");
    CPresentationXmlVisitor child(m_file, static_cast<uint8_t>(m_depth + 1));
    for (size_t i = 0; i < shapes.GetCount(); ++i) shapes.GetItem(i)->Accept(child);
    Line(m_depth, "</Shapes>\n");
}

void CPresentationXmlVisitor::VisitShape(CShape& shape) {
    Line(m_depth, Format("<Shape index=\"%d\" rotation=\"%.3f\" fontRotation=\"%d\" left=\"%.3f\" top=\"%.3f\" "
                         "right=\"%.3f\" bottom=\"%.3f\">\n",
                         static_cast<int>(shape.GetIndex()), shape.GetRotation(), shape.GetFontRotation(),
                         shape.GetLeft(), shape.GetTop(), shape.GetRight(), shape.GetBottom()));
    for (size_t i = 0; i < shape.GetAdjustmentCount(); ++i)
        Line(static_cast<uint8_t>(m_depth + 1), Format("<Adjustment value=\"%f\"/>\n", shape.GetAdjustment(i)));
    if (const auto text = shape.GetTextFrame()) {
        CPresentationXmlVisitor child(m_file, static_cast<uint8_t>(m_depth + 1));
        text->Accept(child);
    }
    Line(m_depth, "</Shape>\n");
}

void CPresentationXmlVisitor::VisitTextFrame(CTextFrame& textFrame) {
    Line(m_depth, "<TextFrame text=\"" + MakeXmlSafe(WideToAnsi(textFrame.GetText(), 0)) + "\">\n");
    Line(m_depth, "</TextFrame>\n");
}

void CPresentationXmlVisitor::VisitAnimations(CAnimationsCollection& animations) {
    Line(m_depth, "<Animations>\n");
    CPresentationXmlVisitor child(m_file, static_cast<uint8_t>(m_depth + 1));
    for (size_t i = 0; i < animations.GetCount(); ++i) animations.GetItem(i)->Accept(child);
    Line(m_depth, "</Animations>\n");
}

void CPresentationXmlVisitor::VisitAnimation(CAnimation& animation) {
    Line(m_depth, Format("<Animation refMode=\"%d\">\n", static_cast<int>(animation.GetRefMode())));
    if (const auto sound = animation.GetSound()) {
        // The name is made safe like the text: a quote in it would break the line.
        Line(static_cast<uint8_t>(m_depth + 1),
             Format("<Sound id=%d filename=\"%s\" size=%d/>\n", sound->GetId(),
                    MakeXmlSafe(WideToAnsi(sound->GetName(), 0)).c_str(), static_cast<int>(sound->GetData().size())));
    }
    Line(m_depth, "</Animation>\n");
}

}  // namespace libpptparser
