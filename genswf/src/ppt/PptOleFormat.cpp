// The OLE object wrapper.

#include "genswf/ppt/PptOleFormat.h"

#include "PptHelpers.h"

namespace genswf {

CPptOleFormat::CPptOleFormat(PowerPoint::OLEFormat* oleFormat) : m_pOleFormat(oleFormat) {}

CPptOleFormat::~CPptOleFormat() = default;

const std::wstring& CPptOleFormat::GetProgID() {
    if (!m_progIdRead) {
        BSTR progId = nullptr;
        if (!m_pOleFormat || m_pOleFormat->get_ProgID(&progId) < 0) {
            SysFreeString(progId);
            ThrowPptException(__FILE__, 31);
        }
        m_progId = TakeBstr(progId);
        m_progIdRead = true;
    }
    return m_progId;
}

std::shared_ptr<CPptOleFormat> CreatePptOleFormat(PowerPoint::OLEFormat* oleFormat) {
    return std::make_shared<CPptOleFormat>(oleFormat);
}

}  // namespace genswf
