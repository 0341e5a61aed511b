#pragma once
// The embedded object of an OLE shape: its programmatic identifier.

#include "Ppt.h"

#include <memory>
#include <string>

namespace genswf {

class CPptOleFormat {
public:
    explicit CPptOleFormat(PowerPoint::OLEFormat* oleFormat);
    virtual ~CPptOleFormat();
    CPptOleFormat(const CPptOleFormat&) = delete;
    CPptOleFormat& operator=(const CPptOleFormat&) = delete;

    const std::wstring& GetProgID();

private:
    CComPtr<PowerPoint::OLEFormat> m_pOleFormat;
    bool m_progIdRead = false;
    std::wstring m_progId;
};

std::shared_ptr<CPptOleFormat> CreatePptOleFormat(PowerPoint::OLEFormat* oleFormat);

}  // namespace genswf
