#include "genswf/shapes/EmbeddedMovie.h"

#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/utils/Utils.h"

#include "base/bytes/ByteView.h"
#include "base/files/WholeFile.h"
#include "com/ComBstr.h"
#include "com/ComPtr.h"
#include "com/ComVariant.h"

#include <zlib.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace genswf {

namespace {

constexpr std::size_t kHeaderSize = 8;
// Deflate cannot expand data by more than about 1032 times; a claim beyond that is a lie and
// would only make us allocate for nothing.
constexpr std::uint64_t kMaxInflateRatio = 1032;
// Compressed movies came with version 6.
constexpr std::uint8_t kFirstCompressedVersion = 6;

// The whole file, or nothing when it cannot be read, is empty or too large. `found` says whether
// the path led to a file at all.
bool ReadMovieFile(const std::wstring& path, std::vector<std::uint8_t>& out, bool& found) {
    const int error = base::files::ReadWholeFile(NativePath(path), out, kMaxSwfFileLength);
    found = error != ENOENT && error != ENOTDIR && error != EACCES && error != ELOOP && error != ENAMETOOLONG;
    return error == 0 && !out.empty();
}

// Writes `count` bits of value at a bit cursor, most significant first, leaving the bits it does
// not write as they were.
class CBitWriter {
public:
    CBitWriter(std::vector<std::uint8_t>& bytes, std::size_t index) : m_bytes(bytes), m_index(index) {}

    void WriteBits(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (m_index >= m_bytes.size()) throw CSwfExtractionException();
            const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> m_bitPos);
            if ((value >> i) & 1u)
                m_bytes[m_index] = static_cast<std::uint8_t>(m_bytes[m_index] | mask);
            else
                m_bytes[m_index] = static_cast<std::uint8_t>(m_bytes[m_index] & ~mask);
            if (++m_bitPos == 8) {
                m_bitPos = 0;
                ++m_index;
            }
        }
    }
    void Align() {
        if (m_bitPos != 0) {
            m_bitPos = 0;
            ++m_index;
        }
    }
    void WriteByte(std::uint8_t value) {
        if (m_index >= m_bytes.size()) throw CSwfExtractionException();
        m_bytes[m_index++] = value;
    }

private:
    std::vector<std::uint8_t>& m_bytes;
    std::size_t m_index;
    int m_bitPos = 0;
};

}  // namespace

std::uint8_t CSwfContent::ReadByte() {
    if (m_byteIndex >= m_movieData.size()) throw CSwfExtractionException();
    return m_movieData[m_byteIndex++];
}

std::uint32_t CSwfContent::ReadBits(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (m_bitPos == 0) {
            m_curByte = ReadByte();
            m_bitPos = 8;
        }
        --m_bitPos;
        value = (value << 1) | ((m_curByte >> m_bitPos) & 1u);
    }
    return value;
}

void CSwfContent::AlignCursor() { m_bitPos = 0; }

bool CSwfContent::ReadHeader() {
    m_byteIndex = 0;
    m_bitPos = 0;
    for (std::size_t i = 0; i < kHeaderSize; ++i) m_header[i] = ReadByte();
    const bool compressed = m_header[0] == 'C' && m_header[1] == 'W' && m_header[2] == 'S';
    const bool plain = m_header[0] == 'F' && m_header[1] == 'W' && m_header[2] == 'S';
    if (!compressed && !plain) return false;
    m_signature.assign(reinterpret_cast<const char*>(m_header), 3);
    m_version = m_header[3];
    m_fileLength = base::bytes::ByteView(m_header, kHeaderSize).U32(4);
    if (m_version == 0 || (compressed && m_version < kFirstCompressedVersion)) return false;
    if (m_fileLength < kHeaderSize || m_fileLength > kMaxSwfFileLength) return false;

    m_sourceBytes = m_movieData;
    if (compressed) {
        const std::uint64_t body = m_fileLength - kHeaderSize;
        const std::uint64_t packed = m_sourceBytes.size() - kHeaderSize;
        if (body > packed * kMaxInflateRatio + 64) return false;
        m_movieData.assign(m_fileLength, 0);
        std::memcpy(m_movieData.data(), m_header, kHeaderSize);
        uLongf inflated = static_cast<uLongf>(body);
        if (uncompress(m_movieData.data() + kHeaderSize, &inflated, m_sourceBytes.data() + kHeaderSize,
                       static_cast<uLong>(packed)) != Z_OK)
            return false;
        // A body shorter than the header says is damaged.
        if (inflated != body) return false;
        m_byteIndex = kHeaderSize;
    } else if (m_fileLength > m_movieData.size()) {
        // Cut short.
        return false;
    }

    m_rectBits = static_cast<int>(ReadBits(5));
    std::int32_t fields[4];
    for (std::int32_t& field : fields) {
        std::uint32_t v = ReadBits(m_rectBits);
        if (m_rectBits > 0 && m_rectBits < 32 && ((v >> (m_rectBits - 1)) & 1u)) v |= ~0u << m_rectBits;
        field = static_cast<std::int32_t>(v);
    }
    m_xMin = fields[0];
    m_xMax = fields[1];
    m_yMin = fields[2];
    m_yMax = fields[3];
    AlignCursor();

    m_frameWidth = std::fabs(static_cast<float>(m_xMax) * 0.05f);
    m_frameHeight = std::fabs(static_cast<float>(m_yMax) * 0.05f);

    const std::uint32_t rateLow = ReadByte();
    const std::uint32_t rateHigh = ReadByte();
    m_frameRate = static_cast<float>(rateLow | (rateHigh << 8)) / 256.0f;
    const std::uint32_t countLow = ReadByte();
    const std::uint32_t countHigh = ReadByte();
    m_frameCount = static_cast<std::uint16_t>(countLow | (countHigh << 8));
    return true;
}

bool CSwfContent::Load(std::vector<std::uint8_t> file, float shapeWidth, float shapeHeight) {
    m_valid = false;
    m_fitMatrix = CMatrix();
    if (file.empty()) return false;
    m_movieData = std::move(file);
    if (!ReadHeader()) return false;
    // A movie without a stage cannot be fitted anywhere.
    if (!(m_frameWidth > 0.0f) || !(m_frameHeight > 0.0f)) return false;

    m_shapeWidth = shapeWidth;
    m_shapeHeight = shapeHeight;
    const float s = std::min(m_shapeWidth / m_frameWidth, m_shapeHeight / m_frameHeight);
    m_fitMatrix =
        CMatrix(s, 0.0f, 0.0f, s, (m_shapeWidth - s * m_frameWidth) * 0.5f, (m_shapeHeight - s * m_frameHeight) * 0.5f);
    m_valid = true;
    return true;
}

bool CSwfContent::ReadEmbedded(IUnknown* control) {
    CComPtr<IPersistStorage> persist;
    if (control->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist)) < 0 || !persist) return false;
    CComPtr<IUnknown> reader;
    if (CreateSwfStorageReader(IID_IUnknown, reinterpret_cast<void**>(&reader)) < 0 || !reader) return false;
    CComPtr<IStorage> storage;
    if (reader->QueryInterface(IID_IStorage, reinterpret_cast<void**>(&storage)) < 0 || !storage) return false;
    if (persist->Save(storage, FALSE) < 0) return false;
    CComPtr<ISwfStorageReader> movies;
    if (reader->QueryInterface(IID_ISwfStorageReader, reinterpret_cast<void**>(&movies)) < 0 || !movies) return false;
    LONG hasMovie = 0;
    LONG size = 0;
    if (movies->HasMovie(&hasMovie) < 0 || hasMovie == 0) return false;
    if (movies->GetMovieSize(&size) < 0 || size <= 0) return false;

    VARIANT data;
    VariantInit(&data);
    bool ok = movies->GetMovieData(&data) >= 0 && V_VT(&data) == (VT_ARRAY | VT_UI1) && V_ARRAY(&data);
    if (ok) {
        SAFEARRAY* array = V_ARRAY(&data);
        void* bytes = nullptr;
        ok = array->rgsabound[0].cElements >= static_cast<ULONG>(size) && SafeArrayAccessData(array, &bytes) >= 0;
        if (ok) {
            const auto* first = static_cast<const std::uint8_t*>(bytes);
            m_movieData.assign(first, first + size);
            SafeArrayUnaccessData(array);
        }
    }
    VariantClear(&data);
    return ok;
}

bool CSwfContent::ReadLinked(IShockwaveFlash* flash, const std::wstring& presentationLocation) {
    CBstr movieBstr;
    // A control that cannot name its movie holds none; the shape is then exported as a picture.
    if (flash->get_Movie(&movieBstr) < 0) return false;
    const std::wstring moviePath = movieBstr.ToWString();
    if (moviePath.empty()) return false;

    bool found = false;
    if (ReadMovieFile(moviePath, m_movieData, found)) return true;
    if (found || presentationLocation.empty()) return false;
    // A movie moved along with its presentation is found beside it: the location is the
    // presentation's folder.
    const std::wstring beside = IncludeTrailingBackslash(presentationLocation) + GetFileNameOfPath(moviePath);
    return ReadMovieFile(beside, m_movieData, found);
}

void CSwfContent::Extract(CPptShape& shape, const std::wstring& presentationLocation) {
    m_valid = false;
    m_movieData.clear();
    CComPtr<PowerPoint::OLEFormat> ole;
    ole.Attach(shape.GetOLEFormatPtr());
    if (!ole) return;
    CComPtr<IUnknown> object;
    if (ole->get_Object(&object) < 0 || !object) return;
    CComPtr<IPersistStorage> persist;
    if (object->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist)) < 0 || !persist) return;
    CComPtr<IShockwaveFlash> flash;
    if (object->QueryInterface(IID_IShockwaveFlash, reinterpret_cast<void**>(&flash)) < 0 || !flash) return;
    VARIANT_BOOL embed = VARIANT_FALSE;
    if (flash->get_EmbedMovie(&embed) < 0) return;

    const bool read = embed != VARIANT_FALSE ? ReadEmbedded(object) : ReadLinked(flash, presentationLocation);
    if (!read || m_movieData.empty()) return;
    Load(std::move(m_movieData), shape.GetWidth(), shape.GetHeight());
}

void CSwfContent::WriteFile(const std::wstring& path) {
    // The frame rectangle and rate go back where they came from, with the width they came with.
    m_outputBuffer = m_movieData;
    CBitWriter writer(m_outputBuffer, kHeaderSize);
    const std::uint32_t mask = m_rectBits >= 32 ? ~0u : ((1u << m_rectBits) - 1u);
    writer.WriteBits(static_cast<std::uint32_t>(m_rectBits), 5);
    for (std::int32_t field : {m_xMin, m_xMax, m_yMin, m_yMax})
        writer.WriteBits(static_cast<std::uint32_t>(field) & mask, m_rectBits);
    writer.Align();
    const auto rate = static_cast<std::uint16_t>(static_cast<std::uint32_t>(m_frameRate * 256.0f + 0.5f));
    writer.WriteByte(static_cast<std::uint8_t>(rate & 0xFF));
    writer.WriteByte(static_cast<std::uint8_t>(rate >> 8));

    const std::uint8_t* body = m_outputBuffer.data() + kHeaderSize;
    std::size_t bodySize = m_outputBuffer.size() - kHeaderSize;
    std::vector<std::uint8_t> packed;
    if (m_signature == "CWS") {
        uLongf packedSize = compressBound(static_cast<uLong>(bodySize));
        packed.resize(packedSize);
        if (compress2(packed.data(), &packedSize, body, static_cast<uLong>(bodySize), 9) != Z_OK)
            throw CSwfExtractionException();
        packed.resize(packedSize);
        body = packed.data();
        bodySize = packed.size();
    }

    const std::string target = Utf8FromWide(path);
    std::FILE* f = std::fopen(target.c_str(), "wb");
    if (!f) throw CSwfExtractionException();
    bool ok = std::fwrite(m_header, 1, kHeaderSize, f) == kHeaderSize;
    ok = ok && (bodySize == 0 || std::fwrite(body, 1, bodySize, f) == bodySize);
    ok = (std::fclose(f) == 0) && ok;
    m_outputBuffer.clear();
    if (!ok) {
        std::remove(target.c_str());
        throw CSwfExtractionException();
    }
}

void CSwfContent::WriteSpriteFile(CMovie* movie, const std::wstring& folder) {
    m_movie = movie;
    m_spriteId = movie->NewSpriteId();
    m_filePath = IncludeTrailingBackslash(folder) + m_spriteId + L".swf";
    WriteFile(m_filePath);
}

XmlElementPtr CSwfContent::WriteSpriteElement(const XmlNodePtr& parent) {
    XmlElementPtr sprite = m_movie->WriteSprite(parent, m_spriteId);
    m_movie->SetAttribute(sprite, m_movie->CreateIntAttribute(L"lockroot", 1));
    m_movie->SetElementAttribute(sprite, L"src", m_filePath);
    return sprite;
}

std::shared_ptr<CSwfContent> CreateSwfContent(const std::shared_ptr<CPptShape>& shape,
                                              const std::wstring& presentationLocation) {
    if (!shape) return nullptr;
    auto content = std::make_shared<CSwfContent>();
    content->Extract(*shape, presentationLocation);
    return content->IsValid() ? content : nullptr;
}

}  // namespace genswf
