// One hyperlink, read into plain values.

#include "genswf/ppt/PptHyperlinks.h"

#include "PptHelpers.h"

namespace genswf {

namespace {

std::wstring ReadText(PowerPoint::Hyperlink* hyperlink, HRESULT (PowerPoint::Hyperlink::*get)(BSTR*), const char* file,
                      int line) {
    BSTR text = nullptr;
    if ((hyperlink->*get)(&text) < 0) {
        SysFreeString(text);
        ThrowPptException(file, line);
    }
    return TakeBstr(text);
}

}  // namespace

CPptHyperlink::CPptHyperlink(PowerPoint::Hyperlink* hyperlink) : CPptObject(hyperlink) {
    if (!hyperlink || hyperlink->get_Type(&m_type) < 0) ThrowPptException(__FILE__, 20);
    m_address = ReadText(hyperlink, &PowerPoint::Hyperlink::get_Address, __FILE__, 21);
    m_subAddress = ReadText(hyperlink, &PowerPoint::Hyperlink::get_SubAddress, __FILE__, 22);
    // Only a hyperlink on text has text of its own.
    if (m_type == PowerPoint::msoHyperlinkRange)
        m_textToDisplay = ReadText(hyperlink, &PowerPoint::Hyperlink::get_TextToDisplay, __FILE__, 25);
    m_pHyperlink = hyperlink;
}

CPptHyperlink::~CPptHyperlink() = default;

bool CPptHyperlink::operator==(const CPptHyperlink& other) const {
    return m_address == other.m_address && m_subAddress == other.m_subAddress;
}

}  // namespace genswf
