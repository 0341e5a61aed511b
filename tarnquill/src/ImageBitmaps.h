// Bitmaps of "image" definitions made ahead of the compiler on a few worker threads, queued as
// the description is read: reading a PNG and compressing its pixels depend on nothing else, and
// a bitmap's bytes are the same whichever thread made it. The compiler takes each one when it
// writes the definition.
#pragma once

#include "Model.h"
#include "Pictures.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace tarnquill {

struct ImageBitmap {
    int tag = 0;  // DefineBitsLossless2 or DefineBitsJPEG3
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> body;  // the tag's bytes after the bitmap id
    bool unreadable = false;         // the file is no picture we read: readError says why
    std::string readError;
    std::exception_ptr failure;  // the picture was read but could not be encoded
};

// What one thread making bitmaps one after another keeps from one to the next.
struct BitmapWork {
    Deflater deflater;
    Picture picture;
    std::vector<std::uint8_t> alpha;
};

ImageBitmap MakeImageBitmap(const std::string& path, int jpegQuality, BitmapWork& work);
// The same from the file's bytes; `path` names it in errors.
ImageBitmap MakeImageBitmap(const std::vector<std::uint8_t>& bytes, const std::string& path, int jpegQuality,
                            BitmapWork& work);

class ImageBitmaps {
public:
    struct Job {
        const Definition* def;
        std::string path;
        int jpegQuality;
    };
    // Jobs run in the order they are added, on at most `threads` workers (0: each is made when
    // taken). Workers start once there are two jobs: a single picture is made when taken.
    explicit ImageBitmaps(unsigned threads);
    // Jobs not started yet are dropped; the running ones finish first.
    ~ImageBitmaps();
    ImageBitmaps(const ImageBitmaps&) = delete;
    ImageBitmaps& operator=(const ImageBitmaps&) = delete;

    // Queues one more job; the workers take it up while the caller goes on.
    void Add(Job job);
    // No more jobs come: workers stop when the queue is done.
    void Close();

    // The bitmap of `def`, once: made on this thread when no worker has started it, and while a
    // worker makes it this thread makes later ones instead of idling. Null for a definition that
    // was not given or was taken already.
    std::shared_ptr<const ImageBitmap> Take(const Definition* def);

private:
    enum class State { Waiting, Running, Done, Taken };
    // A bitmap made once for every job whose file has the same bytes and quality.
    struct Shared {
        bool done = false;
        std::shared_ptr<const ImageBitmap> bitmap;  // null when it failed: each job makes its own
    };
    struct Slot {
        State state = State::Waiting;
        std::shared_ptr<const ImageBitmap> bitmap;  // once Done, unless it is another job's
        std::shared_ptr<Shared> sameAs;             // the job whose file has the same bytes
    };
    void Work();
    // Takes the next waiting job for this thread; false when none is left. Called locked.
    bool Claim(std::size_t& i);
    // Makes job i, or finds the job with the same bytes; called unlocked, leaves the slot Done.
    void Run(std::size_t i, BitmapWork& work);

    // Jobs are added while workers run them: a deque keeps each in place as it grows.
    std::deque<Job> m_jobs;
    std::deque<Slot> m_slots;
    std::unordered_map<const Definition*, std::size_t> m_index;
    std::unordered_map<std::string, std::shared_ptr<Shared>> m_byContent;  // file bytes and quality
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::condition_variable m_added;  // a job was added, the queue closed or the work stopped
    std::size_t m_next = 0;
    unsigned m_threads;
    bool m_closed = false;
    bool m_stop = false;
    std::vector<std::thread> m_workers;
    BitmapWork m_takerWork;  // for bitmaps made by Take's caller
};

}  // namespace tarnquill
