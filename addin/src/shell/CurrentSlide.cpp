#include "addin/shell/ShellServices.h"

using namespace PowerPoint;

namespace addin {

PowerPoint::SlideRange* GetCurrentSlideRange(PowerPoint::_Presentation* presentation) {
    if (!presentation) return nullptr;
    CComPtr<DocumentWindows> windows;
    CComPtr<DocumentWindow> window;
    CComPtr<Selection> selection;
    if (FAILED(presentation->get_Windows(&windows)) || !windows || FAILED(windows->Item(1, &window)) || !window ||
        FAILED(window->get_Selection(&selection)) || !selection) {
        return nullptr;
    }

    // Make the selection hold exactly the shown slide; when any step fails the selection is
    // taken as it is.
    CComPtr<View> view;
    CComPtr<IDispatch> shown;
    if (SUCCEEDED(window->get_View(&view)) && view && SUCCEEDED(view->get_Slide(&shown)) && shown) {
        CComPtr<_Slide> slide;
        if (SUCCEEDED(shown->QueryInterface(IID__Slide, reinterpret_cast<void**>(&slide))) && slide) {
            if (SUCCEEDED(selection->Unselect())) slide->Select();
        }
    }

    SlideRange* range = nullptr;
    if (FAILED(selection->get_SlideRange(&range))) return nullptr;
    return range;
}

}  // namespace addin
