#pragma once
// The Flash player control that OLE control shapes hold: it saves its storage (the "Contents"
// stream that carries the embedded movie and the control's properties) and answers the two
// properties the export reads.

#include "com/ComBase.h"
#include "com/ComBstr.h"
#include "com/ComPtr.h"
#include "com/ComStorage.h"
#include "com/ComVariant.h"

#include <cstdint>
#include <string>
#include <vector>

DEFINE_GUID(IID_IShockwaveFlash, 0xD27CDB6C, 0xAE6D, 0x11CF, 0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00);

// The members of the control's dispatch interface that the export reads.
struct IShockwaveFlash : IUnknown {
    virtual HRESULT get_Movie(BSTR* out) = 0;
    virtual HRESULT get_EmbedMovie(VARIANT_BOOL* out) = 0;
};
BC_DECLARE_INTERFACE_IID(IShockwaveFlash, IID_IShockwaveFlash)

namespace PowerPoint {
namespace Controls {

// The "Contents" stream starts with this mark, the length of the embedded movie (0 when the
// control only names its movie) and the movie; the control's properties follow, the movie's
// address first as a character count and that many UTF-16 units.
constexpr std::uint32_t kFlashContentsMark = 0x55665566;

// True for the ProgIDs the Flash control registers ("ShockwaveFlash.ShockwaveFlash", with or
// without a version), in any case.
bool IsFlashProgId(const std::wstring& progId);

// What a control's "Contents" stream says; empty members when it says nothing readable.
struct FlashContents {
    std::vector<std::uint8_t> movie;  // the embedded movie as stored ("FWS" or "CWS")
    std::wstring address;             // the Movie property
};
FlashContents ReadFlashContents(const std::uint8_t* data, std::size_t size);

// A control over the storage it was saved with (a compound-file image); an image that cannot be
// read gives a control with no movie and no address.
CComPtr<IUnknown> CreateFlashControl(std::vector<std::uint8_t> storage);

}  // namespace Controls
}  // namespace PowerPoint
