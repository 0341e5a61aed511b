#pragma once
// Module-level services shared by the dialogs and the converter.

#include "powerpoint/model/PowerPoint.h"

#include <string>

namespace addin {

// The slide range holding exactly the slide PowerPoint shows in the presentation's first
// window, with a reference added for the caller; null when there is no such window.
PowerPoint::SlideRange* GetCurrentSlideRange(PowerPoint::_Presentation* presentation);

// Opens a web page, file or mail link with the desktop's handler; a failure is ignored.
void ShellOpen(const std::wstring& target, void* owner = nullptr);

}  // namespace addin
