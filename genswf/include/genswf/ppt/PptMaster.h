#pragma once
// The slide master wrapper: the slide size.

#include "Ppt.h"

#include <memory>

namespace genswf {

class CPptMaster {
public:
    explicit CPptMaster(PowerPoint::_Master* master);
    virtual ~CPptMaster();
    CPptMaster(const CPptMaster&) = delete;
    CPptMaster& operator=(const CPptMaster&) = delete;

    float GetWidth();   // points
    float GetHeight();  // points

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

std::shared_ptr<CPptMaster> CreatePptMaster(PowerPoint::_Master* master);

}  // namespace genswf
