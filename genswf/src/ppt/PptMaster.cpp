// The slide master wrapper.

#include "genswf/ppt/PptMaster.h"

#include "PptHelpers.h"

namespace genswf {

struct CPptMaster::Impl {
    CComPtr<PowerPoint::_Master> master;
    bool widthRead = false;
    float width = 0.0f;
    bool heightRead = false;
    float height = 0.0f;
};

CPptMaster::CPptMaster(PowerPoint::_Master* master) : m_impl(new Impl) { m_impl->master = master; }

CPptMaster::~CPptMaster() = default;

float CPptMaster::GetWidth() {
    if (!m_impl->widthRead) {
        if (!m_impl->master || m_impl->master->get_Width(&m_impl->width) < 0) ThrowPptException(__FILE__, 29);
        m_impl->widthRead = true;
    }
    return m_impl->width;
}

float CPptMaster::GetHeight() {
    if (!m_impl->heightRead) {
        if (!m_impl->master || m_impl->master->get_Height(&m_impl->height) < 0) ThrowPptException(__FILE__, 34);
        m_impl->heightRead = true;
    }
    return m_impl->height;
}

std::shared_ptr<CPptMaster> CreatePptMaster(PowerPoint::_Master* master) {
    return std::make_shared<CPptMaster>(master);
}

}  // namespace genswf
