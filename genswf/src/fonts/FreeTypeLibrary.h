#pragma once
// The process's one FreeType library handle.

#include <ft2build.h>
#include FT_FREETYPE_H

namespace genswf {

// Made when the module is loaded and released at exit; null when FreeType could not start or
// after the release.
FT_Library GetFreeTypeLibrary();

}  // namespace genswf
