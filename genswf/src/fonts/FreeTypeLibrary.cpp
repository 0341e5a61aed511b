#include "FreeTypeLibrary.h"

namespace genswf {
namespace {

struct FreeTypeHolder {
    FT_Library library = nullptr;
    FreeTypeHolder() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    ~FreeTypeHolder() {
        if (library) FT_Done_FreeType(library);
        library = nullptr;
    }
};

FreeTypeHolder g_freeType;

}  // namespace

FT_Library GetFreeTypeLibrary() { return g_freeType.library; }

}  // namespace genswf
