#pragma once
// Flash movies held by OLE control shapes: taken out of the control (its saved storage, or the
// movie file it names), measured from the SWF header, fitted to the shape and written as a
// ".swf" file that the movie description places as a sprite.

#include "genswf/geometry/Geometry.h"
#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "powerpoint/controls/FlashControl.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CMovie;
class CPptShape;

// --- The storage the Flash control saves itself into ------------------------------------------

DEFINE_GUID(CLSID_SwfStorageReader, 0x006B3F97, 0x7D47, 0x4542, 0x99, 0x3E, 0x35, 0xF8, 0x23, 0x8D, 0x9C, 0xF6);
DEFINE_GUID(IID_ISwfStorageReader, 0xF87E4B65, 0xB823, 0x4957, 0xB6, 0xAD, 0x43, 0x32, 0x61, 0xAF, 0x5E, 0xEA);

// The movie-extraction component: the control saves into its IStorage, then it hands the movie out.
struct ISwfStorageReader : IUnknown {
    virtual HRESULT HasMovie(LONG* out) = 0;
    virtual HRESULT GetMovieSize(LONG* out) = 0;
    // A VT_ARRAY|VT_UI1 vector of the movie's bytes.
    virtual HRESULT GetMovieData(VARIANT* out) = 0;
};
BC_DECLARE_INTERFACE_IID(ISwfStorageReader, IID_ISwfStorageReader)

// A new extraction component (answers IStorage and ISwfStorageReader).
HRESULT CreateSwfStorageReader(REFIID riid, void** ppv);

// Movies (and movie files read whole) above this size are refused: the movie is held three
// times while it is written.
constexpr std::uint32_t kMaxSwfFileLength = 128u * 1024u * 1024u;

// The SWF held in a Flash control's saved storage (its "Contents" stream); empty when none.
std::vector<std::uint8_t> FindMovieInStorage(const std::vector<std::uint8_t>& compoundImage);
// The first SWF inside the bytes of a "Contents" stream; empty when none.
std::vector<std::uint8_t> FindMovieInContents(const std::uint8_t* data, std::size_t size);

// --- The movie ------------------------------------------------------------------------------

class CSwfContent {
public:
    CSwfContent() = default;
    virtual ~CSwfContent() = default;
    CSwfContent(const CSwfContent&) = delete;
    CSwfContent& operator=(const CSwfContent&) = delete;

    // Takes the movie out of an OLE control shape. Stays invalid when the shape holds none that
    // can be read (also when the control cannot name its movie); a header cut short throws
    // CSwfExtractionException. presentationLocation is the presentation's folder.
    void Extract(CPptShape& shape, const std::wstring& presentationLocation);
    // Reads the header of a movie file and fits it into a shape of that size (points). False
    // (and invalid) when the file is refused; a header cut short throws CSwfExtractionException.
    bool Load(std::vector<std::uint8_t> file, float shapeWidth, float shapeHeight);

    bool IsValid() const { return m_valid; }
    const CMatrix& GetFitMatrix() const { return m_fitMatrix; }

    // Writes the movie back (compressed again when it came compressed); throws
    // CSwfExtractionException when the file cannot be written, and leaves no file then.
    void WriteFile(const std::wstring& path);
    // Writes "<folder>/<new sprite id>.swf" and keeps the movie, id and path for the element.
    void WriteSpriteFile(CMovie* movie, const std::wstring& folder);
    // A "sprite" element with that id, lockroot 1 and the file as its source.
    XmlElementPtr WriteSpriteElement(const XmlNodePtr& parent);

    const std::wstring& GetFilePath() const { return m_filePath; }
    const std::wstring& GetSpriteId() const { return m_spriteId; }
    const std::string& GetSignature() const { return m_signature; }  // "FWS" or "CWS"
    std::uint8_t GetVersion() const { return m_version; }
    std::uint32_t GetFileLength() const { return m_fileLength; }
    float GetFrameWidth() const { return m_frameWidth; }    // points
    float GetFrameHeight() const { return m_frameHeight; }  // points
    float GetFrameRate() const { return m_frameRate; }
    std::uint16_t GetFrameCount() const { return m_frameCount; }
    int GetRectBits() const { return m_rectBits; }
    std::int32_t GetXMin() const { return m_xMin; }
    std::int32_t GetXMax() const { return m_xMax; }
    std::int32_t GetYMin() const { return m_yMin; }
    std::int32_t GetYMax() const { return m_yMax; }
    // The file as obtained, and the uncompressed file the header was read from.
    const std::vector<std::uint8_t>& GetSourceBytes() const { return m_sourceBytes; }
    const std::vector<std::uint8_t>& GetMovieData() const { return m_movieData; }

private:
    bool ReadHeader();
    std::uint32_t ReadBits(int count);
    std::uint8_t ReadByte();
    void AlignCursor();
    bool ReadEmbedded(IUnknown* control);
    bool ReadLinked(IShockwaveFlash* flash, const std::wstring& presentationLocation);

    CMatrix m_fitMatrix;
    std::wstring m_filePath;
    std::wstring m_spriteId;
    CMovie* m_movie = nullptr;
    std::vector<std::uint8_t> m_sourceBytes;
    std::vector<std::uint8_t> m_movieData;
    std::vector<std::uint8_t> m_outputBuffer;
    bool m_valid = false;

    int m_bitPos = 0;
    std::uint8_t m_curByte = 0;
    std::size_t m_byteIndex = 0;

    float m_frameWidth = 0, m_frameHeight = 0;
    float m_shapeWidth = 0, m_shapeHeight = 0;
    std::uint8_t m_header[8] = {};
    std::string m_signature;
    std::uint8_t m_version = 0;
    std::uint32_t m_fileLength = 0;
    int m_rectBits = 0;
    std::int32_t m_xMin = 0, m_xMax = 0, m_yMin = 0, m_yMax = 0;
    float m_frameRate = 0;
    std::uint16_t m_frameCount = 0;
};

// The movie of an OLE control shape, or null when it holds none that can be read.
std::shared_ptr<CSwfContent> CreateSwfContent(const std::shared_ptr<CPptShape>& shape,
                                              const std::wstring& presentationLocation);

}  // namespace genswf
