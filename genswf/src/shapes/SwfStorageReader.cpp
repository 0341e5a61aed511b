#include "genswf/shapes/EmbeddedMovie.h"

#include "base/bytes/ByteView.h"
#include "compoundfile/CompoundFile.h"

#include "com/ComServer.h"
#include "com/ComVariant.h"

#include <cstring>

namespace genswf {

namespace {

constexpr std::size_t kSwfHeaderSize = 8;
// Smallest whole movie: header, a frame rectangle of one byte, rate and count.
constexpr std::uint32_t kMinSwfLength = 13;

bool IsSignatureAt(const std::uint8_t* p) {
    return (p[0] == 'F' || p[0] == 'C') && p[1] == 'W' && p[2] == 'S' && p[3] != 0;
}

// The extraction component: the control saves its storage into it, and it finds the movie there.
class CSwfStorageReader : public com::CComObjectImpl<ISwfStorageReader, IStorage> {
public:
    HRESULT WriteCompoundImage(const BYTE* data, ULONG size) override {
        if (!data && size) return E_POINTER;
        m_image.assign(data, data + size);
        m_searched = false;
        m_movie.clear();
        return S_OK;
    }
    HRESULT HasMovie(LONG* out) override {
        if (!out) return E_POINTER;
        *out = Movie().empty() ? 0 : 1;
        return S_OK;
    }
    HRESULT GetMovieSize(LONG* out) override {
        if (!out) return E_POINTER;
        *out = static_cast<LONG>(Movie().size());
        return S_OK;
    }
    HRESULT GetMovieData(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        const std::vector<std::uint8_t>& movie = Movie();
        if (movie.empty()) return E_FAIL;
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(movie.size()));
        if (!array) return E_OUTOFMEMORY;
        void* bytes = nullptr;
        if (SafeArrayAccessData(array, &bytes) < 0) {
            SafeArrayDestroy(array);
            return E_FAIL;
        }
        std::memcpy(bytes, movie.data(), movie.size());
        SafeArrayUnaccessData(array);
        V_VT(out) = VT_ARRAY | VT_UI1;
        V_ARRAY(out) = array;
        return S_OK;
    }

private:
    const std::vector<std::uint8_t>& Movie() {
        if (!m_searched) {
            m_movie = FindMovieInStorage(m_image);
            m_searched = true;
        }
        return m_movie;
    }

    std::vector<std::uint8_t> m_image;
    std::vector<std::uint8_t> m_movie;
    bool m_searched = false;
};

}  // namespace

HRESULT CreateSwfStorageReader(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* reader = new CSwfStorageReader();
    const HRESULT hr = reader->QueryInterface(riid, ppv);
    reader->Release();
    return hr;
}

std::vector<std::uint8_t> FindMovieInContents(const std::uint8_t* data, std::size_t size) {
    if (!data || size < kMinSwfLength) return {};
    const base::bytes::ByteView contents(data, size);
    for (std::size_t i = 0; i + kMinSwfLength <= size; ++i) {
        if (!IsSignatureAt(data + i)) continue;
        const std::size_t remaining = size - i;
        const std::uint32_t fileLength = contents.U32(i + 4);
        if (fileLength < kMinSwfLength || fileLength > kMaxSwfFileLength) continue;
        if (data[i] == 'F') {
            if (fileLength <= remaining) return std::vector<std::uint8_t>(data + i, data + i + fileLength);
            continue;
        }
        // A compressed movie does not say how long it is packed; the control keeps its length
        // just before it, else the movie runs to the end of the stream.
        std::size_t packed = remaining;
        if (i >= 4) {
            const std::uint32_t stored = contents.U32(i - 4);
            if (stored >= kSwfHeaderSize && stored <= remaining) packed = stored;
        }
        return std::vector<std::uint8_t>(data + i, data + i + packed);
    }
    return {};
}

std::vector<std::uint8_t> FindMovieInStorage(const std::vector<std::uint8_t>& compoundImage) {
    if (compoundImage.empty()) return {};
    compoundfile::CCompoundFileStorage storage(compoundImage);
    if (!storage.Open() || !storage.HasStream("Contents")) return {};
    compoundfile::CCompoundFileStream stream(storage, "Contents");
    if (stream.Failed()) return {};
    const std::vector<std::uint8_t> contents = stream.ReadAll();
    return FindMovieInContents(contents.data(), contents.size());
}

}  // namespace genswf
