#include "genswf/utils/PresentationUtils.h"

#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"

namespace genswf {

std::wstring GetPresentationBaseName(PowerPoint::_Presentation* presentation) {
    BSTR name = nullptr;
    if (!presentation || FAILED(presentation->get_Name(&name))) THROW_PPT_EXCEPTION();
    const std::wstring text = WStringFromBstr(name);
    SysFreeString(name);
    return StripExtension(text);
}

bool GetPresentationSlideSize(PowerPoint::_Presentation* presentation, int& width, int& height) {
    if (!presentation) return false;
    CComPtr<PowerPoint::_Master> master;
    float w = 0;
    float h = 0;
    if (FAILED(presentation->get_SlideMaster(&master)) || !master || FAILED(master->get_Width(&w)) ||
        FAILED(master->get_Height(&h))) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace genswf
