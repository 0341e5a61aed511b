#include "Pictures.h"

#include "base/files/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace tarnquill {
namespace {

struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::uint8_t* data = nullptr;  // the file's bytes after the signature
    std::size_t left = 0;
    std::vector<std::uint8_t>* rgba = nullptr;  // the pixels, straight RGBA
    std::vector<png_bytep> rows;
    std::string error;
    ~PngState() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

void PngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (length > state->left) png_error(png, "Read Error");
    std::memcpy(out, state->data, length);
    state->data += length;
    state->left -= length;
}

void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    state->error = message ? message : "unknown error";
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Kept apart from ReadPng so that nothing with a destructor lives in the frame that
// longjmp leaves.
bool DecodePng(PngState& s, std::uint32_t& width, std::uint32_t& height) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_set_read_fn(s.png, &s, PngRead);
    png_set_sig_bytes(s.png, 8);
    png_set_user_limits(s.png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_malloc_max(s.png, 8 * 1024 * 1024);
    // libpng takes memory for the length a text or profile chunk claims before reading it (the
    // limit above does not cover those); none is used here, so they are skipped unread.
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf";
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 6);
    png_read_info(s.png, s.info);
    width = png_get_image_width(s.png, s.info);
    height = png_get_image_height(s.png, s.info);
    if (static_cast<std::uint64_t>(width) * height > kMaxPicturePixels) {
        s.error = "picture too large";
        return false;
    }
    int colorType = png_get_color_type(s.png, s.info);
    png_set_expand(s.png);
    png_set_strip_16(s.png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(s.png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(s.png, s.info, PNG_INFO_tRNS))
        png_set_add_alpha(s.png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(s.png);
    png_read_update_info(s.png, s.info);
    if (png_get_rowbytes(s.png, s.info) != static_cast<png_size_t>(width) * 4) {
        s.error = "unsupported pixel layout";
        return false;
    }
    s.rgba->resize(static_cast<std::size_t>(width) * height * 4);
    s.rows.resize(height);
    for (std::uint32_t y = 0; y < height; ++y) s.rows[y] = s.rgba->data() + static_cast<std::size_t>(y) * width * 4;
    png_read_image(s.png, s.rows.data());
    png_read_end(s.png, nullptr);
    return true;
}

}  // namespace

std::vector<std::uint8_t> ReadPictureFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const int error = base::files::ReadWholeFile(path, bytes, kMaxPictureFileBytes);
    if (error == EFBIG) throw PictureError("picture file too large: " + path);
    if (error != 0) throw PictureError("cannot open picture file " + path + ": " + std::strerror(error));
    return bytes;
}

Picture ReadPng(const std::string& path) { return ReadPng(ReadPictureFile(path), path); }

Picture ReadPng(const std::vector<std::uint8_t>& bytes, const std::string& path) {
    Picture picture;
    ReadPng(bytes, path, picture);
    return picture;
}

void ReadPng(const std::vector<std::uint8_t>& bytes, const std::string& path, Picture& picture) {
    PngState s;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        throw PictureError("unsupported picture (not a PNG file): " + path);
    s.data = bytes.data() + 8;
    s.left = bytes.size() - 8;
    s.rgba = &picture.argb;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, PngError, PngWarning);
    if (!s.png) throw PictureError("out of memory reading " + path);
    s.info = png_create_info_struct(s.png);
    if (!s.info) throw PictureError("out of memory reading " + path);
    picture.width = picture.height = 0;
    picture.opaque = true;
    if (!DecodePng(s, picture.width, picture.height))
        throw PictureError("damaged or unsupported PNG file " + path + ": " + s.error);
    if (picture.width == 0 || picture.height == 0 || picture.width > 65535 || picture.height > 65535)
        throw PictureError("picture size out of range: " + path);
    // Straight RGBA to premultiplied ARGB in place.
    std::size_t n = static_cast<std::size_t>(picture.width) * picture.height;
    std::uint8_t* p = picture.argb.data();
    bool opaque = true;
    for (std::size_t i = 0; i < n; ++i, p += 4) {
        const unsigned r = p[0], g = p[1], b = p[2], a = p[3];
        if (a != 255) opaque = false;
        p[0] = static_cast<std::uint8_t>(a);
        p[1] = static_cast<std::uint8_t>((r * a + 127) / 255);
        p[2] = static_cast<std::uint8_t>((g * a + 127) / 255);
        p[3] = static_cast<std::uint8_t>((b * a + 127) / 255);
    }
    picture.opaque = opaque;
}

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

struct JpegState {
    jpeg_compress_struct cinfo{};
    JpegError error{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> row;
    bool created = false;
    ~JpegState() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

bool CompressJpeg(JpegState& s, const Picture& picture, int quality) {
    s.cinfo.err = jpeg_std_error(&s.error.manager);
    s.error.manager.error_exit = JpegErrorExit;
    if (setjmp(s.error.jump)) return false;
    jpeg_create_compress(&s.cinfo);
    s.created = true;
    jpeg_mem_dest(&s.cinfo, &s.buffer, &s.size);
    s.cinfo.image_width = picture.width;
    s.cinfo.image_height = picture.height;
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    jpeg_start_compress(&s.cinfo, TRUE);
    s.row.resize(static_cast<std::size_t>(picture.width) * 3);
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        const std::uint8_t* in =
            picture.argb.data() + static_cast<std::size_t>(s.cinfo.next_scanline) * picture.width * 4;
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            s.row[x * 3] = in[x * 4 + 1];
            s.row[x * 3 + 1] = in[x * 4 + 2];
            s.row[x * 3 + 2] = in[x * 4 + 3];
        }
        JSAMPROW rows[1] = {s.row.data()};
        jpeg_write_scanlines(&s.cinfo, rows, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality) {
    JpegState s;
    if (!CompressJpeg(s, picture, quality)) throw PictureError(std::string("JPEG encoding failed: ") + s.error.message);
    return std::vector<std::uint8_t>(s.buffer, s.buffer + s.size);
}

Deflater::Deflater(int level) : m_level(level), m_stream(std::make_unique<z_stream>()) {}

Deflater::~Deflater() {
    if (m_open) deflateEnd(m_stream.get());
    for (const Block& block : m_blocks) std::free(block.memory);
}

void* Deflater::Allocate(void* self, unsigned items, unsigned size) {
    auto* deflater = static_cast<Deflater*>(self);
    const std::size_t bytes = static_cast<std::size_t>(items) * size;
    for (Block& block : deflater->m_blocks)
        if (!block.used && block.size == bytes) {
            block.used = true;
            return block.memory;
        }
    void* memory = std::malloc(bytes);
    if (!memory) return nullptr;
    try {
        deflater->m_blocks.push_back(Block{bytes, memory, true});
    } catch (...) {
        std::free(memory);
        return nullptr;
    }
    return memory;
}

void Deflater::Release(void* self, void* memory) {
    for (Block& block : static_cast<Deflater*>(self)->m_blocks)
        if (block.memory == memory) block.used = false;
}

void Deflater::Begin() {
    z_stream& z = *m_stream;
    if (m_open) {
        deflateEnd(&z);
        m_open = false;
    }
    z = z_stream{};
    z.zalloc = Allocate;
    z.zfree = Release;
    z.opaque = this;
    if (deflateInit(&z, m_level) != Z_OK) throw PictureError("zlib compression failed");
    m_open = true;
    if (m_chunk.empty()) m_chunk.resize(256 * 1024);
    z.next_out = m_chunk.data();
    z.avail_out = static_cast<uInt>(m_chunk.size());
}

void Deflater::Drain(std::vector<std::uint8_t>& out) {
    z_stream& z = *m_stream;
    out.insert(out.end(), m_chunk.data(), m_chunk.data() + (m_chunk.size() - z.avail_out));
    z.next_out = m_chunk.data();
    z.avail_out = static_cast<uInt>(m_chunk.size());
}

void Deflater::Feed(const std::uint8_t* data, std::size_t size, bool last, std::vector<std::uint8_t>& out) {
    if (!m_open) throw PictureError("zlib compression failed");
    z_stream& z = *m_stream;
    for (;;) {
        const uInt take = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = take;
        data += take;
        size -= take;
        const bool finish = last && size == 0;
        int result;
        do {
            result = deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR) throw PictureError("zlib compression failed");
            if (z.avail_out == 0) Drain(out);
        } while (finish ? result != Z_STREAM_END : z.avail_in != 0);
        if (size == 0) break;
    }
    if (last) {
        Drain(out);
        deflateEnd(&z);
        m_open = false;
    }
}

void Deflater::Append(std::initializer_list<Piece> pieces, std::vector<std::uint8_t>& out) {
    Begin();
    if (pieces.size() == 0) Feed(nullptr, 0, true, out);
    for (const Piece& piece : pieces) Feed(piece.data, piece.size, &piece == pieces.end() - 1, out);
}

DeflateThread::DeflateThread(int level) : m_deflater(level) {
    m_deflater.Begin();
    try {
        m_thread = std::thread(&DeflateThread::Work, this);
    } catch (const std::system_error&) {}
}

DeflateThread::~DeflateThread() {
    if (!m_thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void DeflateThread::Give(std::vector<std::uint8_t> piece) {
    if (!m_thread.joinable()) {
        m_deflater.Feed(piece.data(), piece.size(), false, m_out);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pieces.push_back(std::move(piece));
    }
    m_changed.notify_all();
}

std::vector<std::uint8_t> DeflateThread::Finish(std::vector<std::uint8_t> last) {
    if (!m_thread.joinable()) {
        m_deflater.Feed(last.data(), last.size(), true, m_out);
        return std::move(m_out);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pieces.push_back(std::move(last));
        m_lastGiven = true;
    }
    m_changed.notify_all();
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_finished; });
    }
    m_thread.join();
    if (m_failure) std::rethrow_exception(m_failure);
    return std::move(m_out);
}

void DeflateThread::Work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stop || !m_pieces.empty(); });
        if (m_stop) return;
        std::vector<std::uint8_t> piece = std::move(m_pieces.front());
        m_pieces.pop_front();
        const bool last = m_lastGiven && m_pieces.empty();
        lock.unlock();
        if (!m_failure) {
            try {
                m_deflater.Feed(piece.data(), piece.size(), last, m_out);
            } catch (...) {
                m_failure = std::current_exception();
            }
        }
        piece = std::vector<std::uint8_t>();
        lock.lock();
        if (last) {
            m_finished = true;
            m_changed.notify_all();
            return;
        }
    }
}

std::vector<std::uint8_t> Deflate(const std::uint8_t* data, std::size_t size, int level) {
    std::vector<std::uint8_t> out;
    Deflater(level).Append(data, size, out);
    return out;
}

}  // namespace tarnquill
