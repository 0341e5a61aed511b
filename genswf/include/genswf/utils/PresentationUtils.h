#pragma once
// Small reads of the presentation that several steps share.

#include "powerpoint/model/PowerPoint.h"

#include <string>

namespace genswf {

// The presentation's name without its extension; a failing read throws CPPTException.
std::wstring GetPresentationBaseName(PowerPoint::_Presentation* presentation);

// The slide size in whole points, from the slide master; false when any read fails.
bool GetPresentationSlideSize(PowerPoint::_Presentation* presentation, int& width, int& height);

}  // namespace genswf
