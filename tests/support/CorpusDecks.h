#pragma once
// Every corpus deck the loader reads, handed over with its file name, in the folder's order;
// files the loader refuses are passed over (the loader's own tests check those refusals).

#include "powerpoint/loader/PptLoader.h"

#include <filesystem>
#include <string>

namespace bctest {

// Returns how many decks were read.
template <class Visit>
int ForEachLoadedDeck(const std::filesystem::path& folder, const Visit& visit,
                      const PowerPoint::Loader::LoadOptions& options = PowerPoint::Loader::LoadOptions()) {
    int read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".ppt") continue;
        PowerPoint::Loader::LoadResult loaded;
        try {
            loaded = PowerPoint::Loader::LoadPresentation(entry.path().string(), options);
        } catch (const PowerPoint::Loader::CPptLoadError&) {
            continue;
        }
        ++read;
        visit(entry.path().filename().string(), loaded);
    }
    return read;
}

}  // namespace bctest
