#include "CfbBuilder.h"

#include "TempDir.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace testcfb {

namespace {

constexpr uint32_t kEnd = 0xFFFFFFFE;
constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kFatMark = 0xFFFFFFFD;
constexpr uint32_t kThreshold = 4096;

uint32_t Blocks(uint64_t size, uint32_t blockSize) { return static_cast<uint32_t>((size + blockSize - 1) / blockSize); }

}  // namespace

void PutU16(std::vector<uint8_t>& b, uint64_t o, uint16_t v) {
    b.at(o) = v & 0xFF;
    b.at(o + 1) = v >> 8;
}

void PutU32(std::vector<uint8_t>& b, uint64_t o, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(o + i) = (v >> (8 * i)) & 0xFF;
}

uint32_t GetU32(const std::vector<uint8_t>& b, uint64_t o) {
    return b.at(o) | (b.at(o + 1) << 8) | (b.at(o + 2) << 16) | (static_cast<uint32_t>(b.at(o + 3)) << 24);
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> v(size);
    for (size_t i = 0; i < size; ++i) v[i] = static_cast<uint8_t>((i + seed) % 251);
    return v;
}

std::vector<uint8_t> Build(const std::vector<Stream>& streams, uint16_t shift, Layout* layoutOut) {
    Layout L;
    L.blockSize = 1u << shift;
    const uint32_t B = L.blockSize;

    // Small streams live in the mini stream (64-byte blocks), big ones in big blocks.
    uint32_t miniBlocks = 0;
    uint32_t bigDataBlocks = 0;
    for (const Stream& s : streams) {
        if (s.data.size() < kThreshold)
            miniBlocks += Blocks(s.data.size(), 64);
        else
            bigDataBlocks += Blocks(s.data.size(), B);
    }
    const uint32_t miniStreamBlocks = Blocks(static_cast<uint64_t>(miniBlocks) * 64, B);
    const uint32_t miniFatBlocks = Blocks(static_cast<uint64_t>(miniBlocks) * 4, B);
    // Storages named by the streams, in order of first use.
    std::vector<std::string> storages;
    for (const Stream& s : streams) {
        const size_t slash = s.name.find('/');
        if (slash == std::string::npos) continue;
        const std::string storage = s.name.substr(0, slash);
        if (std::find(storages.begin(), storages.end(), storage) == storages.end()) storages.push_back(storage);
    }
    L.directoryBlocks = Blocks(static_cast<uint64_t>(streams.size() + storages.size() + 1) * 128, B);
    const uint32_t other = L.directoryBlocks + miniFatBlocks + miniStreamBlocks + bigDataBlocks;
    L.fatBlocks = 1;
    while (static_cast<uint64_t>(L.fatBlocks) * (B / 4) < other + L.fatBlocks) ++L.fatBlocks;
    if (L.fatBlocks > 109) throw std::runtime_error("test builder: too many allocation blocks");
    const uint32_t total = L.fatBlocks + other;

    std::vector<uint32_t> fat(static_cast<size_t>(L.fatBlocks) * (B / 4), kFree);
    uint32_t next = 0;
    auto place = [&](uint32_t count) -> uint32_t {
        if (count == 0) return kEnd;
        const uint32_t first = next;
        for (uint32_t i = 0; i < count; ++i) fat[first + i] = i + 1 < count ? first + i + 1 : kEnd;
        next += count;
        return first;
    };
    L.fatStart = next;
    for (uint32_t i = 0; i < L.fatBlocks; ++i) fat[next++] = kFatMark;
    L.directoryStart = place(L.directoryBlocks);
    L.miniFatStart = place(miniFatBlocks);
    L.miniStreamStart = place(miniStreamBlocks);

    std::vector<uint8_t> file(static_cast<size_t>(total + 1) * B, 0);
    std::vector<uint32_t> miniFat(static_cast<size_t>(miniFatBlocks) * (B / 4), kFree);
    uint32_t nextMini = 0;
    for (const Stream& s : streams) {
        if (s.data.size() < kThreshold) {
            const uint32_t count = Blocks(s.data.size(), 64);
            const uint32_t first = count ? nextMini : kEnd;
            for (uint32_t i = 0; i < count; ++i) {
                miniFat[nextMini + i] = i + 1 < count ? nextMini + i + 1 : kEnd;
                const uint64_t pos = static_cast<uint64_t>(nextMini + i) * 64;
                const uint64_t off = L.BlockOffset(L.miniStreamStart + static_cast<uint32_t>(pos / B)) + pos % B;
                for (uint32_t k = 0; k < 64 && i * 64 + k < s.data.size(); ++k) file[off + k] = s.data[i * 64 + k];
            }
            nextMini += count;
            L.streamStarts.push_back(first);
        } else {
            const uint32_t first = place(Blocks(s.data.size(), B));
            for (size_t k = 0; k < s.data.size(); ++k) file[L.BlockOffset(first) + k] = s.data[k];
            L.streamStarts.push_back(first);
        }
    }

    // Header.
    const uint8_t sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i) file[i] = sig[i];
    PutU16(file, 24, 0x3E);
    PutU16(file, 26, shift == 12 ? 4 : 3);
    PutU16(file, 28, 0xFFFE);
    PutU16(file, 30, shift);
    PutU16(file, 32, 6);
    PutU32(file, 40, shift == 12 ? L.directoryBlocks : 0);
    PutU32(file, 44, L.fatBlocks);
    PutU32(file, 48, L.directoryStart);
    PutU32(file, 56, kThreshold);
    PutU32(file, 60, L.miniFatStart);
    PutU32(file, 64, miniFatBlocks);
    PutU32(file, 68, kEnd);
    PutU32(file, 72, 0);
    for (uint32_t i = 0; i < 109; ++i) PutU32(file, 76 + 4 * i, i < L.fatBlocks ? L.fatStart + i : kFree);

    for (size_t i = 0; i < fat.size(); ++i) PutU32(file, L.BlockOffset(L.fatStart) + 4 * i, fat[i]);
    for (size_t i = 0; i < miniFat.size(); ++i) PutU32(file, L.BlockOffset(L.miniFatStart) + 4 * i, miniFat[i]);

    // Directory: root, then the streams as a chain of right siblings.
    auto writeEntry = [&](uint32_t index, const std::string& name, uint8_t type, uint32_t start, uint64_t size,
                          uint32_t right, uint32_t child) {
        const uint64_t o = L.DirectoryRecordOffset(index);
        for (size_t k = 0; k < name.size() && k < 31; ++k) PutU16(file, o + 2 * k, static_cast<uint8_t>(name[k]));
        PutU16(file, o + 64, static_cast<uint16_t>((std::min<size_t>(name.size(), 31) + 1) * 2));
        file[o + 66] = type;
        file[o + 67] = 1;
        PutU32(file, o + 68, kFree);
        PutU32(file, o + 72, right);
        PutU32(file, o + 76, child);
        PutU32(file, o + 116, start);
        PutU32(file, o + 120, static_cast<uint32_t>(size));
    };
    // Each storage (the root is "") chains its members as right siblings.
    const uint32_t count = static_cast<uint32_t>(streams.size());
    auto chain = [&](const std::string& storage) {
        std::vector<uint32_t> members;
        for (uint32_t i = 0; i < count; ++i) {
            const size_t slash = streams[i].name.find('/');
            if ((slash == std::string::npos ? std::string() : streams[i].name.substr(0, slash)) == storage)
                members.push_back(i + 1);
        }
        if (storage.empty())
            for (uint32_t j = 0; j < storages.size(); ++j) members.push_back(count + 1 + j);
        return members;
    };
    auto writeChain = [&](const std::vector<uint32_t>& members) {
        for (size_t m = 0; m < members.size(); ++m) {
            const uint32_t index = members[m];
            const uint32_t right = m + 1 < members.size() ? members[m + 1] : kFree;
            if (index <= count) {
                const std::string& name = streams[index - 1].name;
                writeEntry(index, name.substr(name.find('/') + 1), 2, L.streamStarts[index - 1],
                           streams[index - 1].data.size(), right, kFree);
            } else {
                const std::vector<uint32_t> inside = chain(storages[index - count - 1]);
                writeEntry(index, storages[index - count - 1], 1, 0, 0, right, inside.empty() ? kFree : inside[0]);
            }
        }
    };
    const std::vector<uint32_t> top = chain("");
    writeEntry(0, "Root Entry", 5, L.miniStreamStart, static_cast<uint64_t>(miniBlocks) * 64, kFree,
               top.empty() ? kFree : top[0]);
    writeChain(top);
    for (const std::string& storage : storages) writeChain(chain(storage));

    if (layoutOut) *layoutOut = L;
    return file;
}

std::string WriteTemp(const std::vector<uint8_t>& bytes, const std::string& name) {
    // One folder per test process, removed when the process ends.
    static const CScratchFolder folder;
    const std::string path = folder.Native() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace testcfb
