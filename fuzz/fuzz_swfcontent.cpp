// Embedded Flash movies: the SWF header check with the bounded inflate of compressed movies
// (and writing the movie back), and the search for a movie in a control's saved storage or in
// its "Contents" stream. The first byte chooses which; the rest is the input.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/utils/Exceptions.h"

using namespace genswf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::uint8_t* bytes = data + 1;
    const std::size_t count = size - 1;
    switch (data[0] % 3) {
    case 0: {
        CSwfContent content;
        try {
            if (!content.Load(std::vector<std::uint8_t>(bytes, bytes + count), 100, 80)) {
                if (content.IsValid()) __builtin_trap();
                break;
            }
            if (!content.IsValid() || content.GetMovieData().size() > kMaxSwfFileLength) __builtin_trap();
            content.WriteFile((fuzzsupport::ScratchDir() / "movie.swf").wstring());
        } catch (const CSwfExtractionException&) {}
        break;
    }
    case 1:
        (void)FindMovieInContents(bytes, count);
        break;
    default:
        (void)FindMovieInStorage(std::vector<std::uint8_t>(bytes, bytes + count));
        break;
    }
    return 0;
}
