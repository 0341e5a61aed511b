// Writes a compound file of streams at the root: 512-byte blocks, small streams in the small-block
// stream, the directory as a balanced red-black tree, extension blocks when the allocation table
// outgrows the header's list.

#include "compoundfile/CompoundFile.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace compoundfile {

namespace {

constexpr uint32_t kBlock = 512;
constexpr uint32_t kSmallBlock = 64;
constexpr uint32_t kThreshold = 4096;
constexpr uint32_t kEntriesPerBlock = kBlock / 4;
constexpr uint32_t kEnd = CSectorAllocationTable::kEndOfChain;
constexpr uint32_t kFree = CSectorAllocationTable::kFreeBlock;
constexpr uint32_t kNoEntry = CDirectoryEntry::kNoEntry;

uint32_t BlocksFor(uint64_t bytes, uint32_t size) { return static_cast<uint32_t>((bytes + size - 1) / size); }

void Put16(std::vector<uint8_t>& b, uint64_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& b, uint64_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The directory's order: shorter names first, then by upper-case letters.
bool NameLess(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        const int x = std::toupper(static_cast<unsigned char>(a[i])),
                  y = std::toupper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    return false;
}

struct Node {
    uint32_t left = kNoEntry, right = kNoEntry;
    bool red = false;
};

// A balanced tree over entries [first, last) of the sorted order; the nodes of its deepest level
// are red, so that every path holds as many black nodes.
uint32_t Balance(const std::vector<uint32_t>& sorted, size_t first, size_t last, int depth, int deepest,
                 std::vector<Node>& nodes) {
    if (first >= last) return kNoEntry;
    const size_t middle = first + (last - first) / 2;
    const uint32_t index = sorted[middle];
    nodes[index].red = depth == deepest && depth > 0;
    nodes[index].left = Balance(sorted, first, middle, depth + 1, deepest, nodes);
    nodes[index].right = Balance(sorted, middle + 1, last, depth + 1, deepest, nodes);
    return index;
}

}  // namespace

std::vector<uint8_t> WriteCompoundFile(const std::vector<CCompoundFileStreamData>& streams) {
    for (const CCompoundFileStreamData& s : streams) {
        if (s.name.empty() || s.name.size() > 31) throw std::invalid_argument("a stream name has 1 to 31 characters");
        if (s.data.size() > UINT32_MAX) throw std::invalid_argument("a stream is larger than 4 GB");
    }

    // Where everything goes, in blocks.
    uint32_t smallBlocks = 0, dataBlocks = 0;
    for (const CCompoundFileStreamData& s : streams) {
        if (s.data.size() < kThreshold)
            smallBlocks += BlocksFor(s.data.size(), kSmallBlock);
        else
            dataBlocks += BlocksFor(s.data.size(), kBlock);
    }
    const uint32_t smallStreamBlocks = BlocksFor(static_cast<uint64_t>(smallBlocks) * kSmallBlock, kBlock);
    const uint32_t smallTableBlocks = BlocksFor(static_cast<uint64_t>(smallBlocks) * 4, kBlock);
    const uint32_t directoryBlocks = BlocksFor((streams.size() + 1) * 128, kBlock);
    const uint32_t other = directoryBlocks + smallTableBlocks + smallStreamBlocks + dataBlocks;
    uint32_t tableBlocks = 1, extensionBlocks = 0;
    while (true) {
        extensionBlocks = tableBlocks > 109 ? BlocksFor(tableBlocks - 109, kEntriesPerBlock - 1) : 0;
        if (static_cast<uint64_t>(tableBlocks) * kEntriesPerBlock >= other + tableBlocks + extensionBlocks) break;
        ++tableBlocks;
    }
    const uint32_t total = tableBlocks + extensionBlocks + other;

    std::vector<uint32_t> table(static_cast<size_t>(tableBlocks) * kEntriesPerBlock, kFree);
    uint32_t next = 0;
    auto place = [&](uint32_t count, uint32_t mark) -> uint32_t {
        if (count == 0) return kEnd;
        const uint32_t first = next;
        for (uint32_t i = 0; i < count; ++i)
            table[first + i] = mark != kFree ? mark : (i + 1 < count ? first + i + 1 : kEnd);
        next += count;
        return first;
    };
    const uint32_t tableStart = place(tableBlocks, CSectorAllocationTable::kAllocationBlock);
    const uint32_t extensionStart = place(extensionBlocks, CSectorAllocationTable::kExtensionBlock);
    const uint32_t directoryStart = place(directoryBlocks, kFree);
    const uint32_t smallTableStart = place(smallTableBlocks, kFree);
    const uint32_t smallStreamStart = place(smallStreamBlocks, kFree);

    std::vector<uint8_t> file(static_cast<size_t>(total + 1) * kBlock, 0);
    auto blockAt = [](uint32_t block) { return static_cast<uint64_t>(block + 1) * kBlock; };

    // The streams' data and their starts.
    std::vector<uint32_t> starts;
    std::vector<uint32_t> smallTable(static_cast<size_t>(smallTableBlocks) * kEntriesPerBlock, kFree);
    uint32_t nextSmall = 0;
    for (const CCompoundFileStreamData& s : streams) {
        if (s.data.size() < kThreshold) {
            const uint32_t count = BlocksFor(s.data.size(), kSmallBlock);
            starts.push_back(count ? nextSmall : kEnd);
            for (uint32_t i = 0; i < count; ++i) smallTable[nextSmall + i] = i + 1 < count ? nextSmall + i + 1 : kEnd;
            const uint64_t at = blockAt(smallStreamStart) + static_cast<uint64_t>(nextSmall) * kSmallBlock;
            std::copy(s.data.begin(), s.data.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
            nextSmall += count;
        } else {
            const uint32_t first = place(BlocksFor(s.data.size(), kBlock), kFree);
            starts.push_back(first);
            std::copy(s.data.begin(), s.data.end(), file.begin() + static_cast<std::ptrdiff_t>(blockAt(first)));
        }
    }

    // Header.
    const CCompoundFileHeader defaults;
    std::copy(std::begin(defaults.signature), std::end(defaults.signature), file.begin());
    Put16(file, 24, 0x3E);
    Put16(file, 26, 3);
    Put16(file, 28, 0xFFFE);
    Put16(file, 30, 9);
    Put16(file, 32, 6);
    Put32(file, 44, tableBlocks);
    Put32(file, 48, directoryStart);
    Put32(file, 56, kThreshold);
    Put32(file, 60, smallTableStart);
    Put32(file, 64, smallTableBlocks);
    Put32(file, 68, extensionStart);
    Put32(file, 72, extensionBlocks);
    for (uint32_t i = 0; i < 109; ++i) Put32(file, 76 + 4 * i, i < tableBlocks ? tableStart + i : kFree);
    // Table blocks beyond the header's 109 are listed in the extension blocks, 127 to a block.
    for (uint32_t e = 0; e < extensionBlocks; ++e) {
        const uint64_t at = blockAt(extensionStart + e);
        for (uint32_t k = 0; k < kEntriesPerBlock - 1; ++k) {
            const uint32_t i = 109 + e * (kEntriesPerBlock - 1) + k;
            Put32(file, at + 4 * k, i < tableBlocks ? tableStart + i : kFree);
        }
        Put32(file, at + kBlock - 4, e + 1 < extensionBlocks ? extensionStart + e + 1 : kEnd);
    }
    for (size_t i = 0; i < table.size(); ++i) Put32(file, blockAt(tableStart) + 4 * i, table[i]);
    for (size_t i = 0; i < smallTable.size(); ++i) Put32(file, blockAt(smallTableStart) + 4 * i, smallTable[i]);

    // Directory: the root, then the streams, as a tree under the root.
    std::vector<uint32_t> sorted;
    for (uint32_t i = 0; i < streams.size(); ++i) sorted.push_back(i + 1);
    std::sort(sorted.begin(), sorted.end(),
              [&](uint32_t a, uint32_t b) { return NameLess(streams[a - 1].name, streams[b - 1].name); });
    std::vector<Node> nodes(streams.size() + 1);
    int deepest = 0;
    while ((size_t(2) << deepest) - 1 < sorted.size()) ++deepest;
    const uint32_t top = Balance(sorted, 0, sorted.size(), 0, deepest, nodes);

    auto writeEntry = [&](uint32_t index, const std::string& name, uint8_t type, uint32_t start, uint32_t size,
                          uint32_t child) {
        const uint64_t at = blockAt(directoryStart) + static_cast<uint64_t>(index) * 128;
        for (size_t k = 0; k < name.size(); ++k) Put16(file, at + 2 * k, static_cast<uint8_t>(name[k]));
        Put16(file, at + 64, static_cast<uint16_t>((name.size() + 1) * 2));
        file[at + 66] = type;
        file[at + 67] = nodes[index].red ? 0 : 1;
        Put32(file, at + 68, nodes[index].left);
        Put32(file, at + 72, nodes[index].right);
        Put32(file, at + 76, child);
        Put32(file, at + 116, start);
        Put32(file, at + 120, size);
    };
    writeEntry(0, "Root Entry", 5, smallBlocks ? smallStreamStart : kEnd, smallBlocks * kSmallBlock, top);
    for (uint32_t i = 0; i < streams.size(); ++i)
        writeEntry(i + 1, streams[i].name, 2, starts[i], static_cast<uint32_t>(streams[i].data.size()), kNoEntry);
    // Unused records of the last directory block name nothing.
    for (uint64_t i = streams.size() + 1; i < static_cast<uint64_t>(directoryBlocks) * (kBlock / 128); ++i) {
        const uint64_t at = blockAt(directoryStart) + i * 128;
        Put32(file, at + 68, kNoEntry);
        Put32(file, at + 72, kNoEntry);
        Put32(file, at + 76, kNoEntry);
    }
    return file;
}

}  // namespace compoundfile
