// The Flash player control of OLE control shapes, over the storage the presentation kept for it.

#include "powerpoint/controls/FlashControl.h"

#include "base/bytes/ByteView.h"
#include "com/ComServer.h"
#include "compoundfile/CompoundFile.h"

#include <algorithm>
#include <cwctype>

namespace PowerPoint {
namespace Controls {

namespace {

// An address longer than this is not one.
constexpr std::uint32_t kMaxAddressLength = 4096;

bool IsMovieSignature(const std::uint8_t* p) { return (p[0] == 'F' || p[0] == 'C') && p[1] == 'W' && p[2] == 'S'; }

class CFlashControl : public com::CComObjectImpl<IShockwaveFlash, IPersistStorage> {
public:
    explicit CFlashControl(std::vector<std::uint8_t> storage) : m_storage(std::move(storage)) {
        if (m_storage.empty()) return;
        compoundfile::CCompoundFileStorage file(m_storage);
        if (!file.Open() || !file.HasStream("Contents")) return;
        compoundfile::CCompoundFileStream stream(file, "Contents");
        if (stream.Failed()) return;
        const std::vector<std::uint8_t> contents = stream.ReadAll();
        m_contents = ReadFlashContents(contents.data(), contents.size());
    }

    HRESULT get_Movie(BSTR* out) override {
        if (!out) return E_POINTER;
        *out = BstrFromWString(m_contents.address);
        return S_OK;
    }
    HRESULT get_EmbedMovie(VARIANT_BOOL* out) override {
        if (!out) return E_POINTER;
        *out = m_contents.movie.empty() ? VARIANT_FALSE : VARIANT_TRUE;
        return S_OK;
    }
    HRESULT Save(IStorage* storage, BOOL) override {
        if (!storage) return E_POINTER;
        if (m_storage.empty()) return E_FAIL;
        return storage->WriteCompoundImage(m_storage.data(), static_cast<ULONG>(m_storage.size()));
    }

private:
    std::vector<std::uint8_t> m_storage;
    FlashContents m_contents;
};

}  // namespace

bool IsFlashProgId(const std::wstring& progId) {
    static const std::wstring kName = L"shockwaveflash.shockwaveflash";
    if (progId.size() < kName.size()) return false;
    for (std::size_t i = 0; i < kName.size(); ++i)
        if (static_cast<wchar_t>(std::towlower(progId[i])) != kName[i]) return false;
    if (progId.size() == kName.size()) return true;
    if (progId[kName.size()] != L'.' || progId.size() == kName.size() + 1) return false;
    return std::all_of(progId.begin() + static_cast<std::ptrdiff_t>(kName.size()) + 1, progId.end(),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

FlashContents ReadFlashContents(const std::uint8_t* data, std::size_t size) {
    FlashContents out;
    const base::bytes::ByteView contents(data, size);
    if (!data || size < 8 || contents.U32(0) != kFlashContentsMark) return out;
    const std::uint32_t movieLength = contents.U32(4);
    if (movieLength > size - 8) return out;
    if (movieLength >= 8 && IsMovieSignature(data + 8)) out.movie.assign(data + 8, data + 8 + movieLength);
    std::size_t at = 8 + static_cast<std::size_t>(movieLength);
    if (size - at < 4) return out;
    const std::uint32_t count = contents.U32(at);
    at += 4;
    if (count == 0 || count > kMaxAddressLength || count > (size - at) / 2) return out;
    for (std::uint32_t i = 0; i < count; ++i) {
        const wchar_t c = static_cast<wchar_t>(contents.U16(at + 2 * i));
        if (c == 0) break;
        out.address.push_back(c);
    }
    return out;
}

CComPtr<IUnknown> CreateFlashControl(std::vector<std::uint8_t> storage) {
    CComPtr<IUnknown> control;
    control.Attach(static_cast<IShockwaveFlash*>(new CFlashControl(std::move(storage))));
    return control;
}

}  // namespace Controls
}  // namespace PowerPoint
