#include "genswf/utils/PngFile.h"

#include "genswf/utils/Utils.h"

#include "base/bytes/ByteView.h"

#include <algorithm>

namespace genswf {

std::shared_ptr<CPngFile> CPngFile::Create(const std::wstring& path, bool readWholeFile) {
    CFileHandle file;
    if (!file.Create(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL)) return nullptr;
    const long long size = file.Size();
    if (size < 0 || static_cast<std::uint64_t>(size) >= kMaxFileBytes) return nullptr;

    const std::size_t wanted = readWholeFile ? static_cast<std::size_t>(size) : kHeaderBytes;
    std::vector<std::uint8_t> bytes(wanted, 0);
    const long long got = file.Read(bytes.data(), bytes.size());
    // A short read is a failure, never a header padded with zeros.
    if (got < static_cast<long long>(kHeaderBytes) || static_cast<std::size_t>(got) != wanted) return nullptr;

    static const std::uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    if (!std::equal(kSignature, kSignature + 8, bytes.begin())) return nullptr;
    const base::bytes::ByteView header(bytes);
    if (header.BeU32(8) != 13 || std::string(bytes.begin() + 12, bytes.begin() + 16) != "IHDR") return nullptr;
    const std::uint32_t width = header.BeU32(16);
    const std::uint32_t height = header.BeU32(20);
    if (width == 0 || height == 0) return nullptr;

    std::shared_ptr<CPngFile> png(new CPngFile());
    png->m_bytes = std::move(bytes);
    png->m_width = width;
    png->m_height = height;
    return png;
}

}  // namespace genswf
