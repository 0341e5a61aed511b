// Pictures named by "image": PNG in, SWF bitmap data out.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

struct z_stream_s;

namespace tarnquill {

class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Larger pictures are refused before any pixel memory is taken.
constexpr std::uint32_t kMaxPictureSide = 16384;
constexpr std::uint64_t kMaxPicturePixels = 32ull * 1024 * 1024;

struct Picture {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> argb;  // premultiplied, A R G B per pixel
    bool opaque = true;
};

// A picture file's bytes are read whole: stored pixels of the largest picture taken, 16-bit
// channels and row filters included, fit well within this.
constexpr std::uint64_t kMaxPictureFileBytes = kMaxPicturePixels * 8 + 64ull * 1024 * 1024;

// The bytes of a picture file; PictureError when it cannot be read or is above the limit.
std::vector<std::uint8_t> ReadPictureFile(const std::string& path);

Picture ReadPng(const std::string& path);
// The same from the file's bytes; `path` names it in errors.
Picture ReadPng(const std::vector<std::uint8_t>& bytes, const std::string& path);
// The same into `picture`, whose pixel memory is reused from the last picture it held.
void ReadPng(const std::vector<std::uint8_t>& bytes, const std::string& path, Picture& picture);

// JPEG of the colour channels at the given quality (1..100).
std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality);

// zlib streams as compress2 makes them, with the memory zlib asks for kept from one stream to
// the next: a new stream never reads what an earlier one left there, so the bytes are the same.
class Deflater {
public:
    explicit Deflater(int level = -1);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    struct Piece {
        const std::uint8_t* data;
        std::size_t size;
    };
    // Appends to `out` the one stream of the pieces taken in order.
    void Append(std::initializer_list<Piece> pieces, std::vector<std::uint8_t>& out);
    void Append(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
        Append({Piece{data, size}}, out);
    }

    // The same stream given piece by piece: Begin, then Feed each in order, the last one with
    // `last` set. How the input is cut does not change the bytes.
    void Begin();
    void Feed(const std::uint8_t* data, std::size_t size, bool last, std::vector<std::uint8_t>& out);

private:
    struct Block {
        std::size_t size;
        void* memory;
        bool used;
    };
    static void* Allocate(void* self, unsigned items, unsigned size);
    static void Release(void* self, void* memory);
    void Drain(std::vector<std::uint8_t>& out);

    int m_level;
    std::unique_ptr<z_stream_s> m_stream;
    bool m_open = false;
    std::vector<Block> m_blocks;
    std::vector<std::uint8_t> m_chunk;  // output between deflate calls
};

// One zlib stream made on a thread of its own from pieces given in order, so that compressing
// a movie goes on while the rest of it is written.
class DeflateThread {
public:
    explicit DeflateThread(int level);
    // Stops the work when the stream is not finished.
    ~DeflateThread();
    DeflateThread(const DeflateThread&) = delete;
    DeflateThread& operator=(const DeflateThread&) = delete;

    void Give(std::vector<std::uint8_t> piece);
    // The whole stream once the last piece is in; throws what compressing threw.
    std::vector<std::uint8_t> Finish(std::vector<std::uint8_t> last);

private:
    void Work();

    Deflater m_deflater;
    std::vector<std::uint8_t> m_out;
    std::deque<std::vector<std::uint8_t>> m_pieces;
    bool m_lastGiven = false, m_finished = false, m_stop = false;
    std::exception_ptr m_failure;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;  // none when no thread could start: pieces are deflated when given
};

std::vector<std::uint8_t> Deflate(const std::uint8_t* data, std::size_t size, int level = -1);
inline std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data, int level = -1) {
    return Deflate(data.data(), data.size(), level);
}

}  // namespace tarnquill
