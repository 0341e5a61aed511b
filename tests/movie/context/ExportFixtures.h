#pragma once
// A presentation in the in-memory host and a scratch folder for the export's files.

#include "TempDir.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/host/PowerPointHost.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace exporttest {

struct Deck {
    PowerPoint::Host::CHostDocumentRef doc = PowerPoint::Host::CHostDocument::Create();
    explicit Deck(int slides) {
        doc->path = L"/home/user/talks";
        doc->name = L"deck.ppt";
        for (int i = 0; i < slides; ++i) doc->AddSlide();
    }
    // A range over the 1-based slide numbers, in the order given.
    CComPtr<PowerPoint::SlideRange> Range(const std::vector<int>& numbers) {
        std::vector<PowerPoint::Host::CHostSlide*> slides;
        for (int n : numbers) slides.push_back(doc->Slides()[static_cast<std::size_t>(n - 1)]);
        return doc->MakeSlideRange(slides);
    }
};

inline std::vector<std::uint8_t> FileBytes(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    genswf::ReadWholeFile(path, bytes);
    return bytes;
}

}  // namespace exporttest
