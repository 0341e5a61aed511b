#pragma once
// The bytes of a PNG file whose header has been checked, with its pixel size.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CPngFile {
public:
    static constexpr std::size_t kHeaderBytes = 29;  // signature and IHDR up to the height
    static constexpr std::uint64_t kMaxFileBytes = 100000000;

    // Null when the file cannot be opened, is too large or is not a PNG. Without readWholeFile
    // only the header is kept.
    static std::shared_ptr<CPngFile> Create(const std::wstring& path, bool readWholeFile);
    virtual ~CPngFile() = default;

    const std::vector<std::uint8_t>& GetBytes() const { return m_bytes; }
    std::uint32_t GetWidth() const { return m_width; }
    std::uint32_t GetHeight() const { return m_height; }

private:
    CPngFile() = default;
    std::vector<std::uint8_t> m_bytes;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
};

}  // namespace genswf
