#pragma once
// Reader of compound files (the structured-storage container of Office 97-2003 documents). It
// finds a stream by its path inside the container and reads its bytes. No reading operation
// throws; failures are reported through return values and result codes. One writer makes a
// file of streams at the root, for saving a copy of a document.
//
// Every size read from the file is checked against the file's own size before it is used, every
// chain is cycle-checked and the directory is walked without recursion, so a damaged file gives
// a result code and a reason, never a hang or a huge allocation.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace compoundfile {

// Result codes of opening a file.
enum CompoundFileResult : int {
    kResultSuccess = 0,
    kResultCannotOpen = 1,       // the file could not be opened or read
    kResultNotCompoundFile = 2,  // the signature does not match
    kResultDamaged = 3,          // the header or the tables fail the validity rules
};

struct CCompoundFileHeader {
    static constexpr size_t kSize = 512;
    static constexpr size_t kHeaderAllocationEntries = 109;

    uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    uint16_t majorVersion = 3;
    uint16_t bigBlockShift = 9;
    uint16_t smallBlockShift = 6;
    uint32_t allocationBlockCount = 0;
    uint32_t directoryStart = 0;
    uint32_t smallStreamThreshold = 4096;
    uint32_t smallAllocationStart = 0;
    uint32_t smallAllocationBlockCount = 0;
    uint32_t extensionStart = 0;
    uint32_t extensionBlockCount = 0;
    uint32_t allocationBlocks[kHeaderAllocationEntries];

    CCompoundFileHeader();
    // Fills the fields from the first 512 bytes of the file.
    void Read(const uint8_t* bytes);
    bool HasSignature() const;
};

class CSectorAllocationTable {
public:
    static constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
    static constexpr uint32_t kAllocationBlock = 0xFFFFFFFD;
    static constexpr uint32_t kExtensionBlock = 0xFFFFFFFC;
    static constexpr uint32_t kFreeBlock = 0xFFFFFFFF;

    CSectorAllocationTable();

    void SetBlockSize(uint32_t blockSize) { m_blockSize = blockSize; }
    uint32_t GetBlockSize() const { return m_blockSize; }
    size_t GetEntryCount() const { return m_entries.size(); }
    uint32_t GetEntry(size_t i) const { return i < m_entries.size() ? m_entries[i] : kFreeBlock; }

    // One u32 entry per 4 bytes of the buffer.
    void Load(const std::vector<uint8_t>& buffer);
    void Resize(size_t count) { m_entries.resize(count, kFreeBlock); }
    void SetEntry(size_t i, uint32_t value);

    // The blocks of the chain that starts at `start`. The chain ends at an end mark, at a number
    // outside the table or at `blockLimit` and beyond (blocks that cannot exist), and at the first
    // block met a second time, so it never loops and never holds more entries than the table.
    std::vector<uint32_t> FollowChain(uint32_t start, uint64_t blockLimit = UINT64_MAX) const;

private:
    uint32_t m_blockSize;
    std::vector<uint32_t> m_entries;
};

struct CDirectoryEntry {
    static constexpr uint32_t kNoEntry = 0xFFFFFFFF;

    bool valid = true;
    std::string name;
    bool isStorage = true;
    uint64_t size = 0;
    uint32_t start = kNoEntry;
    uint32_t previous = kNoEntry;
    uint32_t next = kNoEntry;
    uint32_t child = kNoEntry;
};

class CDirectoryTree {
public:
    CDirectoryTree();

    // Loads one entry per whole 128-byte record. `wideSizes` reads the stream size as 64 bits
    // (4096-byte blocks); with 512-byte blocks the high half is undefined and ignored.
    void Load(const std::vector<uint8_t>& buffer, bool wideSizes);

    size_t GetCount() const { return m_entries.size(); }
    // An index past the end names no entry.
    const CDirectoryEntry* GetEntry(size_t i) const { return i < m_entries.size() ? &m_entries[i] : nullptr; }

    // The children of a storage, in sibling-tree visiting order (self, previous, next), walked
    // with an explicit stack and a visited set.
    std::vector<uint32_t> GetChildren(uint32_t index) const;

    // The entry named by a "/"-separated path; -1 when nothing matches.
    int64_t Find(const std::string& path) const;

private:
    std::vector<CDirectoryEntry> m_entries;
};

class CCompoundFileReader;

class CCompoundStreamReader {
public:
    CCompoundStreamReader(const CCompoundFileReader& reader, const CDirectoryEntry& entry, std::string path);

    uint64_t GetSize() const { return m_entry.size; }
    const std::string& GetPath() const { return m_path; }
    bool Failed() const { return m_failed; }

    // Reads up to `count` bytes at `position`; the read stops at the stream's size and at the
    // end of its chain. Returns the bytes read.
    uint64_t Read(uint64_t position, uint8_t* buffer, uint64_t count) const;

private:
    const CCompoundFileReader& m_reader;
    CDirectoryEntry m_entry;
    std::string m_path;
    std::vector<uint32_t> m_blocks;
    bool m_small = false;
    bool m_failed = false;
};

class CCompoundFileReader {
public:
    explicit CCompoundFileReader(std::string path);
    explicit CCompoundFileReader(std::vector<uint8_t> image);
    ~CCompoundFileReader();
    CCompoundFileReader(const CCompoundFileReader&) = delete;
    CCompoundFileReader& operator=(const CCompoundFileReader&) = delete;

    // Opens and loads the file; returns the result code (also kept).
    int Load();
    void Close();

    int GetResult() const { return m_result; }
    // Why the last Load failed, in plain words; empty on success.
    const std::string& GetErrorText() const { return m_errorText; }
    bool IsOpened() const { return m_opened; }
    uint64_t GetFileSize() const { return m_fileSize; }
    const CCompoundFileHeader& GetHeader() const { return m_header; }
    const CDirectoryTree& GetDirectory() const { return m_directory; }
    const CSectorAllocationTable& GetBigBlockTable() const { return m_bigBlocks; }
    const CSectorAllocationTable& GetSmallBlockTable() const { return m_smallBlocks; }
    const std::vector<uint32_t>& GetSmallStreamBlocks() const { return m_smallStreamBlocks; }
    // Number of big blocks the file can hold after its header block.
    uint64_t GetBigBlockLimit() const;

    uint64_t ReadBigBlocks(const std::vector<uint32_t>& blocks, uint8_t* buffer, uint64_t maximum) const;
    uint64_t ReadSmallBlocks(const std::vector<uint32_t>& blocks, uint8_t* buffer, uint64_t maximum) const;

private:
    int Fail(int result, std::string text);
    // Reads up to `count` bytes at `offset`, clipped to the file; returns the bytes read.
    uint64_t ReadAt(uint64_t offset, uint8_t* buffer, uint64_t count) const;
    std::vector<uint8_t> ReadChain(const std::vector<uint32_t>& blocks) const;

    std::string m_path;
    bool m_inMemory = false;
    std::vector<uint8_t> m_image;  // the whole file, for in-memory files
    struct FileHandle;
    std::unique_ptr<FileHandle> m_file;
    uint64_t m_fileSize = 0;
    int m_result = kResultCannotOpen;
    std::string m_errorText;
    bool m_opened = false;
    CCompoundFileHeader m_header;
    CDirectoryTree m_directory;
    CSectorAllocationTable m_bigBlocks;
    CSectorAllocationTable m_smallBlocks;
    std::vector<uint32_t> m_smallStreamBlocks;
};

// The storage facade: one per opened file.
class CCompoundFileStorage {
public:
    // `path` is the file's path as bytes (UTF-8 on this platform). Opens nothing yet.
    explicit CCompoundFileStorage(const std::string& path);
    // A storage over a file image held in memory.
    explicit CCompoundFileStorage(std::vector<uint8_t> image);
    ~CCompoundFileStorage();
    CCompoundFileStorage(const CCompoundFileStorage&) = delete;
    CCompoundFileStorage& operator=(const CCompoundFileStorage&) = delete;

    // Closes the file if open, loads it, returns true when it loaded.
    bool Open();
    int GetResult() const;
    const std::string& GetErrorText() const;
    // True when the path names a stream (not a storage) of the opened file.
    bool HasStream(const std::string& path) const;

    const CCompoundFileReader& GetReader() const { return *m_reader; }

private:
    std::unique_ptr<CCompoundFileReader> m_reader;
};

// A stream of an opened storage. Failed when the path names nothing or a storage, or when the
// stream's recorded size cannot be right for this file.
class CCompoundFileStream {
public:
    CCompoundFileStream(const CCompoundFileStorage& storage, const std::string& path);
    ~CCompoundFileStream();

    bool Failed() const;
    // Why the stream failed: "not found", "is a storage" or the damage found.
    const std::string& GetErrorText() const { return m_errorText; }
    uint64_t GetSize() const;
    void Seek(uint64_t position);
    // Reads up to `count` bytes from the current position and advances it; returns the bytes read.
    uint64_t Read(void* buffer, uint64_t count);
    // The whole stream; fewer bytes than GetSize when its chain is short.
    std::vector<uint8_t> ReadAll();

private:
    std::unique_ptr<CCompoundStreamReader> m_reader;
    uint64_t m_position = 0;
    std::string m_errorText;
};

// One stream of a file to write: its name (ASCII, 1 to 31 characters; a leading '\x05' is that
// control character, as in the property-set streams) and its bytes.
struct CCompoundFileStreamData {
    std::string name;
    std::vector<uint8_t> data;
};

// A compound file that holds these streams at its root, in 512-byte blocks. Throws
// std::invalid_argument for a name or size the format cannot hold.
std::vector<uint8_t> WriteCompoundFile(const std::vector<CCompoundFileStreamData>& streams);

}  // namespace compoundfile
