#include "genswf/images/ImagesCollection.h"

#include "genswf/utils/Exceptions.h"
#include "genswf/utils/PngFile.h"
#include "genswf/utils/Utils.h"

#include <nettle/sha1.h>

#include <array>
#include <map>
#include <utility>
#include <vector>

namespace genswf {

namespace {

constexpr int kImageErrorCode = 2;

using Digest = std::array<std::uint8_t, SHA1_DIGEST_SIZE>;

struct ImageRecord {
    std::wstring path;
    bool fileSizeKnown = false;
    std::uint64_t fileSize = 0;
    bool dimensionsKnown = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool digestKnown = false;
    Digest digest{};
    std::wstring name;
};

bool IsPng(const std::wstring& path) { return CompareNoCase(GetFileExtension(path), L"png") == 0; }

#define THROW_IMAGE_ERROR(text) throw CBaseException(kImageErrorCode, LocatedMessage(text, __FILE__, __LINE__))

void ReadFileSize(ImageRecord& record) {
    if (record.fileSizeKnown) return;
    CFileHandle file;
    if (!file.Create(record.path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL))
        THROW_IMAGE_ERROR(L"Cannot open image file " + record.path);
    const long long size = file.Size();
    if (size < 0) THROW_IMAGE_ERROR(L"Cannot open image file " + record.path);
    record.fileSize = static_cast<std::uint64_t>(size);
    record.fileSizeKnown = true;
}

void ReadDimensions(ImageRecord& record) {
    if (record.dimensionsKnown) return;
    const auto png = CPngFile::Create(record.path, false);
    if (!png) THROW_IMAGE_ERROR(L"Cannot parse png file content " + record.path);
    record.width = png->GetWidth();
    record.height = png->GetHeight();
    record.dimensionsKnown = true;
}

// Streams the file through the digest: no buffer the size of the file.
void ReadDigest(ImageRecord& record) {
    if (record.digestKnown) return;
    CFileHandle file;
    if (!file.Create(record.path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL))
        THROW_IMAGE_ERROR(L"Cannot open image file " + record.path);
    sha1_ctx sha;
    sha1_init(&sha);
    std::vector<std::uint8_t> chunk(64 * 1024);
    std::uint64_t total = 0;
    for (;;) {
        const long long got = file.Read(chunk.data(), chunk.size());
        if (got < 0) THROW_IMAGE_ERROR(L"Cannot load image file " + record.path);
        if (got == 0) break;
        sha1_update(&sha, static_cast<std::size_t>(got), chunk.data());
        total += static_cast<std::uint64_t>(got);
    }
    // A file that changed size since it was measured is not the file that was compared.
    if (total == 0 || (record.fileSizeKnown && total != record.fileSize))
        THROW_IMAGE_ERROR(L"Cannot load image file " + record.path);
    sha1_digest(&sha, record.digest.size(), record.digest.data());
    record.digestKnown = true;
}

}  // namespace

class ImagesCollection::Impl {
public:
    std::wstring AddImage(const std::wstring& path, const std::wstring& name) {
        auto record = std::make_shared<ImageRecord>();
        record->path = path;
        record->name = name;

        const std::size_t duplicate = FindDuplicate(*record);
        if (duplicate != kNone) return records[duplicate]->name;

        // Every value is read before any index changes, so a failure registers nothing.
        ReadFileSize(*record);
        if (IsPng(path)) ReadDimensions(*record);
        ReadDigest(*record);

        const std::size_t index = records.size();
        records.push_back(record);
        pathIndex.emplace(path, index);
        sizeIndex.emplace(record->fileSize, index);
        if (record->dimensionsKnown) dimensionsIndex.emplace(std::make_pair(record->width, record->height), index);
        digestIndex.emplace(record->digest, index);
        return name;
    }

    void Clear() {
        pathIndex.clear();
        sizeIndex.clear();
        dimensionsIndex.clear();
        digestIndex.clear();
        records.clear();
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::vector<std::shared_ptr<ImageRecord>> records;

private:
    std::size_t FindDuplicate(ImageRecord& record) {
        const auto byPath = pathIndex.find(record.path);
        if (byPath != pathIndex.end()) return byPath->second;

        ReadFileSize(record);
        if (sizeIndex.count(record.fileSize) == 0) return kNone;

        if (IsPng(record.path)) {
            ReadDimensions(record);
            if (dimensionsIndex.count(std::make_pair(record.width, record.height)) == 0) return kNone;
        }

        ReadDigest(record);
        const auto byDigest = digestIndex.find(record.digest);
        return byDigest != digestIndex.end() ? byDigest->second : kNone;
    }

    std::map<std::wstring, std::size_t> pathIndex;
    std::multimap<std::uint64_t, std::size_t> sizeIndex;
    std::multimap<std::pair<std::uint32_t, std::uint32_t>, std::size_t> dimensionsIndex;
    std::map<Digest, std::size_t> digestIndex;
};

ImagesCollection::ImagesCollection() : m_impl(new Impl()) {}

ImagesCollection::~ImagesCollection() { m_impl->Clear(); }

std::wstring ImagesCollection::AddImage(const std::wstring& path, const std::wstring& name) {
    return m_impl->AddImage(path, name);
}

std::size_t ImagesCollection::GetCount() const { return m_impl->records.size(); }

}  // namespace genswf
