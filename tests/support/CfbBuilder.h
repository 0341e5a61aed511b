#pragma once
// Writes small compound files for the reader's tests, with the layout known so that a test can
// damage exactly one thing.

#include <cstdint>
#include <string>
#include <vector>

namespace testcfb {

struct Stream {
    // ASCII; a leading '\x05' is written as that control character. "Storage/Name" puts the
    // stream into a storage of the root, made on its first use.
    std::string name;
    std::vector<uint8_t> data;
};

struct Layout {
    uint32_t blockSize = 512;
    uint32_t fatStart = 0;  // first allocation-table block
    uint32_t fatBlocks = 0;
    uint32_t directoryStart = 0;  // directory blocks follow the table
    uint32_t directoryBlocks = 0;
    uint32_t miniFatStart = 0xFFFFFFFE;
    uint32_t miniStreamStart = 0xFFFFFFFE;
    std::vector<uint32_t> streamStarts;  // per stream: big block, or small block for small streams

    // Byte offset of big block n.
    uint64_t BlockOffset(uint32_t n) const { return static_cast<uint64_t>(n + 1) * blockSize; }
    // Byte offset of the allocation-table entry of big block n.
    uint64_t FatEntryOffset(uint32_t n) const {
        return BlockOffset(fatStart + n / (blockSize / 4)) + (n % (blockSize / 4)) * 4;
    }
    // Byte offset of directory record i.
    uint64_t DirectoryRecordOffset(uint32_t i) const {
        return BlockOffset(directoryStart + i * 128 / blockSize) + (i * 128) % blockSize;
    }
};

// Streams at the root (and in storages of the root), linked as chains of right siblings; stream i
// is directory record i + 1, the storages follow the streams. `shift` is 9 or 12.
std::vector<uint8_t> Build(const std::vector<Stream>& streams, uint16_t shift = 9, Layout* layout = nullptr);

void PutU16(std::vector<uint8_t>& bytes, uint64_t offset, uint16_t value);
void PutU32(std::vector<uint8_t>& bytes, uint64_t offset, uint32_t value);
uint32_t GetU32(const std::vector<uint8_t>& bytes, uint64_t offset);

// Writes bytes to a fresh file in the test's temporary folder; returns its path.
std::string WriteTemp(const std::vector<uint8_t>& bytes, const std::string& name);

// Bytes 0, 1, 2 ... (mod 251), so that misplaced blocks show.
std::vector<uint8_t> Pattern(size_t size, uint8_t seed = 0);

}  // namespace testcfb
