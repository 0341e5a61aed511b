// Pictures of the drawing group's blip store: bitmaps as files of their own kind, metafiles as
// their (inflated) bytes.

#include "LoaderInternal.h"

#include <zlib.h>

#include <cstring>

namespace PowerPoint {
namespace Loader {
namespace Detail {

namespace {

// No picture of a presentation comes near this; a larger claim is damage.
constexpr std::size_t kMaxMetafileSize = 64u << 20;

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

bool Inflate(const std::uint8_t* data, std::size_t size, std::size_t expected, std::vector<std::uint8_t>& out) {
    // Deflate shrinks data by a thousand at most; a larger claim is not believed.
    if (expected == 0 || expected > kMaxMetafileSize || expected / 1032 > size + 1) return false;
    out.assign(expected, 0);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    const std::size_t produced = out.size() - z.avail_out;
    inflateEnd(&z);
    if (rc != Z_STREAM_END && rc != Z_OK && rc != Z_BUF_ERROR) return false;
    out.resize(produced);
    out.shrink_to_fit();
    return produced > 0;
}

// A device-independent bitmap becomes a BMP file by its 14-byte file header.
std::vector<std::uint8_t> DibToBmp(const std::uint8_t* dib, std::size_t size) {
    std::vector<std::uint8_t> bmp;
    if (size < 40) return bmp;
    const CPptByteView header(dib, size);
    const std::uint32_t headerSize = header.U32(0);
    if (headerSize < 12 || headerSize > size) return bmp;
    std::uint32_t palette = 0;
    if (headerSize >= 40) {
        const std::uint16_t bits = header.U16(14);
        const std::uint32_t compression = header.U32(16);
        std::uint32_t used = header.U32(32);
        if (used == 0 && bits <= 8) used = 1u << bits;
        palette = std::min<std::uint32_t>(used, 256) * 4;
        if (compression == 3 && headerSize == 40) palette += 12;
    }
    const std::uint64_t offset = 14ull + headerSize + palette;
    if (offset > 14ull + size) return bmp;
    bmp.reserve(14 + size);
    bmp.push_back('B');
    bmp.push_back('M');
    Put32(bmp, static_cast<std::uint32_t>(14 + size));
    Put32(bmp, 0);
    Put32(bmp, static_cast<std::uint32_t>(offset));
    bmp.insert(bmp.end(), dib, dib + size);
    return bmp;
}

}  // namespace

bool DecodeBlipBytes(const std::uint8_t* data, std::size_t size, BlipData& out, std::wstring& problem) {
    if (size < 8) {
        problem = L"a picture record is cut short";
        return false;
    }
    const CPptByteView record(data, size);
    const std::uint16_t instance = static_cast<std::uint16_t>(record.U16(0) >> 4);
    const std::uint16_t type = record.U16(2);
    const std::uint32_t length = record.U32(4);
    if (length > size - 8) {
        problem = L"a picture record runs past its data";
        return false;
    }
    const std::uint8_t* body = data + 8;
    // One or two identifiers of 16 bytes; the odd instances carry the second.
    const std::size_t uids = (instance & 1) ? 32 : 16;
    const char* kind = nullptr;
    bool metafile = false;
    switch (type) {
    case 0xF01A:
        kind = "emf";
        metafile = true;
        break;
    case 0xF01B:
        kind = "wmf";
        metafile = true;
        break;
    case 0xF01C:
        kind = "pict";
        metafile = true;
        break;
    case 0xF01D:
    case 0xF02A:
        kind = "jpeg";
        break;
    case 0xF01E:
        kind = "png";
        break;
    case 0xF01F:
        kind = "bmp";
        break;
    case 0xF029:
        kind = "tiff";
        break;
    default:
        problem = L"a picture of unknown kind " + std::to_wstring(type) + L" was skipped";
        return false;
    }
    out.kind = kind;
    if (metafile) {
        const std::size_t header = uids + 34;
        if (length < header) {
            problem = L"a metafile picture is cut short";
            return false;
        }
        const CPptByteView mh = record.Sub(8 + uids, 34);
        const std::uint32_t fullSize = mh.U32(0);
        const std::uint32_t savedSize = mh.U32(28);
        const std::uint8_t compression = mh.U8(32);
        const std::size_t available = std::min<std::size_t>(savedSize, length - header);
        const std::uint8_t* bits = body + header;
        if (compression == 0) {
            if (!Inflate(bits, available, fullSize, out.bytes)) {
                problem = L"a compressed metafile picture could not be inflated";
                return false;
            }
        } else {
            out.bytes.assign(bits, bits + available);
        }
        // The store leaves out the 512-byte header that a picture file of this kind opens with.
        if (type == 0xF01C) out.bytes.insert(out.bytes.begin(), 512, 0);
    } else {
        const std::size_t header = uids + 1;
        if (length < header) {
            problem = L"a picture is cut short";
            return false;
        }
        const std::uint8_t* bits = body + header;
        const std::size_t count = length - header;
        if (type == 0xF01F) {
            out.bytes = DibToBmp(bits, count);
            if (out.bytes.empty()) {
                problem = L"a bitmap picture has a damaged header";
                return false;
            }
        } else {
            out.bytes.assign(bits, bits + count);
        }
    }
    return true;
}

bool DecodeBlip(const CPptRecord& blip, BlipData& out, std::wstring& problem) {
    // The record's own header precedes its data in the stream.
    const CPptByteView b = blip.GetBytes();
    std::vector<std::uint8_t> whole(8 + b.size());
    const std::uint16_t vi = static_cast<std::uint16_t>((blip.GetInstance() << 4) | blip.GetVersion());
    whole[0] = static_cast<std::uint8_t>(vi);
    whole[1] = static_cast<std::uint8_t>(vi >> 8);
    whole[2] = static_cast<std::uint8_t>(blip.GetType());
    whole[3] = static_cast<std::uint8_t>(blip.GetType() >> 8);
    const std::uint32_t len = static_cast<std::uint32_t>(b.size());
    std::memcpy(whole.data() + 4, &len, 4);  // little-endian host
    if (b.size()) std::memcpy(whole.data() + 8, b.data(), b.size());
    return DecodeBlipBytes(whole.data(), whole.size(), out, problem);
}

void LoadBlips(CLoadContext& ctx, const std::vector<std::uint8_t>& pictures) {
    ContainerPtr group = ChildContainer(ctx.document.get(), kPPDrawingGroup);
    ContainerPtr dgg = ChildContainer(group.get(), kEscherDggContainer);
    ContainerPtr store = ChildContainer(dgg.get(), kEscherBStoreContainer);
    if (!store) return;
    for (const RecordPtr& r : store->GetChildren()) {
        BlipData blip;
        std::wstring problem;
        const std::size_t index = ctx.blips.size() + 1;
        if (r->GetType() == kEscherBSE) {
            const CPptByteView b = r->GetBytes();
            const std::size_t nameLength = b.U8(33);
            const std::size_t embeddedAt = 36 + nameLength;
            const std::uint32_t offset = b.U32(28);
            const std::uint32_t size = b.U32(20);
            if (b.size() > embeddedAt + 8) {
                DecodeBlipBytes(b.data() + embeddedAt, b.size() - embeddedAt, blip, problem);
            } else if (size == 0 || b.U8(0) == 0) {
                // An empty entry keeps its place.
            } else if (offset < pictures.size()) {
                const std::size_t available = std::min<std::size_t>(pictures.size() - offset, size);
                DecodeBlipBytes(pictures.data() + offset, available, blip, problem);
            } else {
                problem = L"its place in the \"Pictures\" stream lies outside the stream";
            }
        } else {
            problem = L"an unknown record in the picture store";
        }
        if (!problem.empty()) ctx.Warn(L"picture " + std::to_wstring(index) + L": " + problem);
        ctx.blips.push_back(std::move(blip));
    }
}

}  // namespace Detail
}  // namespace Loader
}  // namespace PowerPoint
