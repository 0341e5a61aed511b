#pragma once
// The context of one export, owned by the movie document: the export settings, the images
// collection every exported picture is registered in, and the parsed copy of the presentation,
// made the first time a parsed slide is asked for.

#include "ExportSettings.h"
#include "genswf/images/ImagesCollection.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <string>

namespace libpptparser {
class CPresentation;
class CSlidesCollection;
class CSlide;
}  // namespace libpptparser

namespace genswf {

class CMovieImpl {
public:
    // Writes the start lines of the export log.
    explicit CMovieImpl(std::shared_ptr<CExportSettings> settings);
    // Writes the last line of the export log.
    virtual ~CMovieImpl();
    CMovieImpl(const CMovieImpl&) = delete;
    CMovieImpl& operator=(const CMovieImpl&) = delete;

    const std::shared_ptr<CExportSettings>& GetExportSettings() const { return m_settings; }

    // The name to use for the image file: an earlier identical image's name, else name.
    std::wstring AddImage(const std::wstring& path, const std::wstring& name);

    // Saved and parsed once per export; a failure is remembered and thrown again, so the copy
    // is never written twice.
    std::shared_ptr<libpptparser::CPresentation> GetParsedPresentation();
    std::shared_ptr<libpptparser::CSlidesCollection> GetParsedSlides();
    // Slide i of the parsed slide list; empty past its end.
    std::shared_ptr<libpptparser::CSlide> GetParsedSlide(std::size_t i);

    // Name of the presentation copy inside the temporary folder.
    static const wchar_t* const kCopyFileName;

private:
    // Saves "~tmp.ppt" into the temporary folder and parses it.
    std::shared_ptr<libpptparser::CPresentation> ParsePresentationCopy();

    std::shared_ptr<CExportSettings> m_settings;
    ImagesCollection m_images;
    std::shared_ptr<libpptparser::CPresentation> m_parsedPresentation;
    std::exception_ptr m_parseFailure;
};

}  // namespace genswf
