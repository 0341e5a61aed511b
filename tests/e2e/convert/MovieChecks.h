#pragma once
// What every converted movie must hold, read back from its bytes: a frame per slide and the end
// frame, each slide's sprite shown on its own frame, every character it places defined before,
// and every text field drawn with a font the movie embeds.

#include "SwfTestReader.h"

#include <string>

namespace e2e {

// Adds a test failure for each fault found in the movie at path (under SCOPED_TRACE of the caller).
void ExpectSoundMovie(const std::string& path, std::size_t slideCount);

}  // namespace e2e
