#pragma once
// The image files of one export. An image identical to one registered earlier is answered
// with the earlier image's name, so the movie refers to one file and embeds it once.

#include <cstddef>
#include <memory>
#include <string>

namespace genswf {

class ImagesCollection {
public:
    ImagesCollection();
    ~ImagesCollection();
    ImagesCollection(const ImagesCollection&) = delete;
    ImagesCollection& operator=(const ImagesCollection&) = delete;

    // Registers the file under name unless it duplicates an earlier image (same path, or same
    // size, PNG dimensions and SHA-1); returns the name to use. Throws CBaseException (code 2)
    // when the file cannot be opened, read or, as ".png", parsed; nothing is registered then.
    std::wstring AddImage(const std::wstring& path, const std::wstring& name);

    std::size_t GetCount() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace genswf
