// Shapes, pictures, sprites and buttons.
#include "Actions.h"
#include "CompilerInternal.h"
#include "Pictures.h"

#include "base/system/Cores.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace tarnquill {

std::uint16_t Compiler::Emit(const Definition& def) {
    auto found = ids_.find(&def);
    if (found != ids_.end()) return found->second;
    if (!visiting_.insert(&def).second) FailAt(def.where, "id", "\"" + def.id + "\" contains itself");
    std::uint16_t id = 0;
    switch (def.kind) {
    case DefKind::Rectangle:
    case DefKind::Oval:
        id = EmitShape(def, {&def});
        break;
    case DefKind::Shape: {
        std::vector<const Definition*> parts;
        for (const auto& p : def.parts) parts.push_back(p.get());
        id = EmitShape(def, parts);
        break;
    }
    case DefKind::Image:
        id = EmitImage(def);
        break;
    case DefKind::Sprite:
        id = EmitSprite(def);
        break;
    case DefKind::Button:
        id = EmitButton(def);
        break;
    case DefKind::Font:
        id = EmitFont(def);
        break;
    case DefKind::Text:
        id = EmitText(def);
        break;
    case DefKind::Sound:
        id = EmitSound(def);
        break;
    }
    visiting_.erase(&def);
    ids_[&def] = id;
    return id;
}

Rect Compiler::Bounds(const Definition& d) {
    std::int32_t x0 = std::min(d.x, d.x + d.width), x1 = std::max(d.x, d.x + d.width);
    std::int32_t y0 = std::min(d.y, d.y + d.height), y1 = std::max(d.y, d.y + d.height);
    return Rect{x0, x1, y0, y1};
}

bool Compiler::Contains(const Rect& outer, const Rect& inner) {
    return outer.xMin <= inner.xMin && outer.yMin <= inner.yMin && outer.xMax >= inner.xMax && outer.yMax >= inner.yMax;
}

// Each part keeps its own fill entry so that overlapping parts paint over each other
// instead of cancelling. A transparent part lying inside an earlier opaque rectangle is
// cut out of it as a hole (that is how masks leave an opening); any other transparent
// part stays as an invisible, clickable area.
std::uint16_t Compiler::EmitShape(const Definition& def, const std::vector<const Definition*>& parts) {
    struct Entry {
        std::uint32_t rgb;
        std::uint8_t alpha;
    };
    std::vector<Entry> fills;
    std::vector<int> fillOf(parts.size(), 0), holeOf(parts.size(), 0);
    Rect bounds;
    bool first = true;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Definition& p = *parts[i];
        Rect r = Bounds(p);
        if (first) bounds = r;
        bounds = Rect{std::min(bounds.xMin, r.xMin), std::max(bounds.xMax, r.xMax), std::min(bounds.yMin, r.yMin),
                      std::max(bounds.yMax, r.yMax)};
        first = false;
        if (p.fillStyle.empty()) {
            warnings_.push_back(
                FormatError("no fill style: the part is invisible", p.where.element, "fillStyle", p.where.line));
            continue;
        }
        const FillStyle& style = Style(p);
        if (style.alpha == 0) {
            for (std::size_t j = i; j-- > 0;) {
                const Definition& q = *parts[j];
                if (fillOf[j] && fills[fillOf[j] - 1].alpha != 0 && q.kind == DefKind::Rectangle &&
                    Contains(Bounds(q), r)) {
                    holeOf[i] = fillOf[j];
                    break;
                }
            }
            if (holeOf[i]) continue;
        }
        fills.push_back(Entry{style.rgb, style.alpha});
        fillOf[i] = static_cast<int>(fills.size());
    }
    BitWriter w;
    std::uint16_t id = NewCharacterId(def.where);
    w.U16(id);
    WriteRect(w, bounds);
    WriteFillCount(w, fills.size());
    for (const Entry& e : fills) {
        w.U8(0x00);
        w.U8(static_cast<std::uint8_t>(e.rgb >> 16));
        w.U8(static_cast<std::uint8_t>(e.rgb >> 8));
        w.U8(static_cast<std::uint8_t>(e.rgb));
        w.U8(e.alpha);
    }
    w.U8(0);  // no line styles
    int fillBits = UnsignedBitCount(fills.size());
    w.Bits(static_cast<std::uint32_t>(fillBits), 4);
    w.Bits(0, 4);
    ShapeBuilder shape(fillBits);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        int fill = fillOf[i] ? fillOf[i] : holeOf[i];
        if (!fill) continue;
        const Definition& p = *parts[i];
        if (p.kind == DefKind::Oval)
            shape.Ellipse(p.x, p.y, p.width, p.height, 0, fill);
        else
            shape.Rectangle(p.x, p.y, p.width, p.height, 0, fill);
    }
    shape.End();
    w.Bytes(shape.Writer().Data());
    WriteTag(out_, kDefineShape3, w.Data());
    return id;
}

void Compiler::WriteFillCount(BitWriter& w, std::size_t count) {
    if (count < 255) {
        w.U8(static_cast<std::uint8_t>(count));
    } else {
        w.U8(0xff);
        w.U16(static_cast<std::uint16_t>(count));
    }
}

std::string ResolvePath(const std::string& baseFolder, const std::string& src) {
    std::string path = src;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path[0] == '/') return path;
    std::string base = baseFolder;
    std::replace(base.begin(), base.end(), '\\', '/');
    if (base.empty()) return path;
    if (base.back() != '/') base += '/';
    return base + path;
}

std::uint16_t Compiler::EmitEmptyShape(const Definition& def) {
    BitWriter w;
    std::uint16_t id = NewCharacterId(def.where);
    w.U16(id);
    WriteRect(w, Rect{});
    w.U8(0);
    w.U8(0);
    w.Bits(0, 8);
    w.Bits(0, 6);
    w.Align();
    WriteTag(out_, kDefineShape3, w.Data());
    return id;
}

namespace {

ImageBitmap UnreadableBitmap(const std::string& error) {
    ImageBitmap bitmap;
    bitmap.unreadable = true;
    bitmap.readError = error;
    return bitmap;
}

}  // namespace

ImageBitmap MakeImageBitmap(const std::string& path, int jpegQuality, BitmapWork& work) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadPictureFile(path);
    } catch (const PictureError& e) {
        return UnreadableBitmap(e.what());
    } catch (...) {
        ImageBitmap bitmap;
        bitmap.failure = std::current_exception();
        return bitmap;
    }
    return MakeImageBitmap(bytes, path, jpegQuality, work);
}

ImageBitmap MakeImageBitmap(const std::vector<std::uint8_t>& bytes, const std::string& path, int jpegQuality,
                            BitmapWork& work) {
    ImageBitmap bitmap;
    Picture& picture = work.picture;
    try {
        ReadPng(bytes, path, picture);
    } catch (const PictureError& e) {
        bitmap.unreadable = true;
        bitmap.readError = e.what();
        return bitmap;
    } catch (...) {
        bitmap.failure = std::current_exception();
        return bitmap;
    }
    bitmap.width = picture.width;
    bitmap.height = picture.height;
    try {
        BitWriter b;
        bitmap.tag = kDefineBitsLossless2;
        if (jpegQuality > 0) {
            bitmap.tag = kDefineBitsJPEG3;
            std::vector<std::uint8_t> jpeg = EncodeJpeg(picture, jpegQuality);
            std::vector<std::uint8_t>& alpha = work.alpha;
            alpha.resize(static_cast<std::size_t>(picture.width) * picture.height);
            for (std::size_t i = 0; i < alpha.size(); ++i) alpha[i] = picture.argb[i * 4];
            b.Data().reserve(4 + jpeg.size() + alpha.size() / 64 + 64);
            b.U32(static_cast<std::uint32_t>(jpeg.size()));
            b.Bytes(jpeg);
            work.deflater.Append(alpha.data(), alpha.size(), b.Data());
        } else {
            b.U8(5);  // 32-bit premultiplied ARGB
            b.U16(static_cast<std::uint16_t>(picture.width));
            b.U16(static_cast<std::uint16_t>(picture.height));
            work.deflater.Append(picture.argb.data(), picture.argb.size(), b.Data());
        }
        bitmap.body = std::move(b.Data());
    } catch (...) {
        bitmap.failure = std::current_exception();
    }
    return bitmap;
}

ImageBitmaps::ImageBitmaps(unsigned threads) : m_threads(threads) {}

ImageBitmaps::~ImageBitmaps() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_added.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

void ImageBitmaps::Add(Job job) {
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_index.emplace(job.def, m_jobs.size());
        m_jobs.push_back(std::move(job));
        m_slots.emplace_back();
        count = m_jobs.size();
    }
    m_added.notify_one();
    const std::size_t wanted = count < 2 ? 0 : std::min<std::size_t>(m_threads, count);
    while (m_workers.size() < wanted) {
        try {
            m_workers.emplace_back(&ImageBitmaps::Work, this);
        } catch (const std::system_error&) {
            m_threads = static_cast<unsigned>(m_workers.size());  // fewer workers; what none makes is made when taken
            break;
        }
    }
}

void ImageBitmaps::Close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_added.notify_all();
}

bool ImageBitmaps::Claim(std::size_t& i) {
    while (m_next < m_jobs.size() && m_slots[m_next].state != State::Waiting) ++m_next;
    if (m_stop || m_next >= m_jobs.size()) return false;
    i = m_next++;
    m_slots[i].state = State::Running;
    return true;
}

void ImageBitmaps::Work() {
    BitmapWork work;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (std::size_t i;;) {
        if (Claim(i)) {
            lock.unlock();
            Run(i, work);
            lock.lock();
        } else if (m_stop || m_closed) {
            return;
        } else {
            m_added.wait(lock);
        }
    }
}

void ImageBitmaps::Run(std::size_t i, BitmapWork& work) {
    const Job* found = nullptr;
    {
        // The queue may be growing: its elements stay in place, its index does not.
        std::lock_guard<std::mutex> lock(m_mutex);
        found = &m_jobs[i];
    }
    const Job& job = *found;
    ImageBitmap bitmap;
    std::shared_ptr<Shared> sameAs, made;
    try {
        const std::vector<std::uint8_t> bytes = ReadPictureFile(job.path);
        // Pictures with the same bytes and quality make the same bitmap: it is made once
        // (slides often repeat a picture, each in a file of its own).
        std::string key(reinterpret_cast<const char*>(&job.jpegQuality), sizeof job.jpegQuality);
        key.append(bytes.begin(), bytes.end());
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto found = m_byContent.find(key);
            if (found != m_byContent.end()) {
                sameAs = found->second;
            } else {
                made = std::make_shared<Shared>();
                m_byContent.emplace(std::move(key), made);
            }
        }
        if (made) bitmap = MakeImageBitmap(bytes, job.path, job.jpegQuality, work);
    } catch (const PictureError& e) {
        bitmap = UnreadableBitmap(e.what());
    } catch (...) {
        bitmap = ImageBitmap();
        bitmap.failure = std::current_exception();
    }
    auto result = sameAs ? nullptr : std::make_shared<const ImageBitmap>(std::move(bitmap));
    std::lock_guard<std::mutex> lock(m_mutex);
    if (made) {
        if (!result->unreadable && !result->failure) made->bitmap = result;
        made->done = true;
    }
    m_slots[i].bitmap = std::move(result);
    m_slots[i].sameAs = std::move(sameAs);
    m_slots[i].state = State::Done;
    m_done.notify_all();
}

std::shared_ptr<const ImageBitmap> ImageBitmaps::Take(const Definition* def) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found = m_index.find(def);
    if (found == m_index.end()) return nullptr;
    const std::size_t i = found->second;
    Slot& slot = m_slots[i];
    if (slot.state == State::Taken) return nullptr;
    if (slot.state == State::Waiting) {
        slot.state = State::Running;
        lock.unlock();
        Run(i, m_takerWork);
        lock.lock();
    }
    for (std::size_t other; slot.state != State::Done;) {
        if (!Claim(other)) {
            m_done.wait(lock);
            continue;
        }
        lock.unlock();
        Run(other, m_takerWork);
        lock.lock();
    }
    slot.state = State::Taken;
    std::shared_ptr<const ImageBitmap> bitmap = std::move(slot.bitmap);
    if (const std::shared_ptr<Shared> sameAs = std::move(slot.sameAs)) {
        // Whoever makes it is at work on it now.
        m_done.wait(lock, [&] { return sameAs->done; });
        bitmap = sameAs->bitmap;
        if (!bitmap) {
            lock.unlock();
            // It failed for the other file: this one reports its own error, naming itself.
            bitmap = std::make_shared<const ImageBitmap>(
                MakeImageBitmap(m_jobs[i].path, m_jobs[i].jpegQuality, m_takerWork));
        }
    }
    return bitmap;
}

unsigned ImageBitmapThreads() {
    const unsigned cores = base::system::UsableCores();
    return std::min(Compiler::kMaxImageThreads, cores > 1 ? cores - 1 : 1);
}

std::uint16_t Compiler::EmitImage(const Definition& def) {
    std::shared_ptr<const ImageBitmap> taken = imageBitmaps_.Take(&def);
    if (!taken) {
        BitmapWork work;
        taken = std::make_shared<const ImageBitmap>(MakeImageBitmap(ResolvePath(def.src), def.jpegQuality, work));
    }
    const ImageBitmap& bitmap = *taken;
    if (bitmap.unreadable) {
        if (!options_.ignoreErrors) FailAt(def.where, "src", bitmap.readError);
        warnings_.push_back(FormatError(bitmap.readError, def.where.element, "src", def.where.line));
        return EmitEmptyShape(def);
    }
    if (bitmap.failure) std::rethrow_exception(bitmap.failure);
    std::uint16_t bitmapId = NewCharacterId(def.where);
    WriteTagHeader(out_, bitmap.tag, 2 + bitmap.body.size(), true);
    out_.push_back(static_cast<std::uint8_t>(bitmapId));
    out_.push_back(static_cast<std::uint8_t>(bitmapId >> 8));
    out_.insert(out_.end(), bitmap.body.begin(), bitmap.body.end());
    const Picture picture{bitmap.width, bitmap.height, {}, true};

    // Width and height 0 mean the picture's own size.
    std::int64_t w = def.width ? def.width : static_cast<std::int64_t>(picture.width) * 20;
    std::int64_t h = def.height ? def.height : static_cast<std::int64_t>(picture.height) * 20;
    BitWriter s;
    std::uint16_t id = NewCharacterId(def.where);
    s.U16(id);
    WriteRect(s, Rect{def.x, static_cast<std::int32_t>(def.x + w), def.y, static_cast<std::int32_t>(def.y + h)});
    s.U8(1);
    s.U8(def.smoothing ? 0x41 : 0x43);  // clipped bitmap, smoothed or not
    s.U16(bitmapId);
    Placement m;
    m.a = static_cast<double>(w) / picture.width;
    m.d = static_cast<double>(h) / picture.height;
    m.tx = def.x;
    m.ty = def.y;
    WriteMatrix(s, m);
    s.U8(0);
    s.Bits(1, 4);
    s.Bits(0, 4);
    ShapeBuilder shape(1);
    shape.Rectangle(def.x, def.y, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), 0, 1);
    shape.End();
    s.Bytes(shape.Writer().Data());
    WriteTag(out_, kDefineShape3, s.Data());
    return id;
}

std::uint16_t Compiler::EmitSprite(const Definition& def) {
    if (!def.src.empty()) return EmitSpriteFromFile(def);
    Plan plan = MakePlan(*def.timeline, def.where);
    for (const Definition* ref : plan.references) Emit(*ref);
    std::vector<std::uint8_t> body;
    std::uint16_t id = NewCharacterId(def.where);
    body.push_back(static_cast<std::uint8_t>(id));
    body.push_back(static_cast<std::uint8_t>(id >> 8));
    body.push_back(static_cast<std::uint8_t>(plan.frameCount));
    body.push_back(static_cast<std::uint8_t>(plan.frameCount >> 8));
    FrameState state;
    for (std::uint32_t f = 0; f < plan.frameCount; ++f) EmitFrame(plan, f, state, body);
    WriteTag(body, kEnd, {});
    WriteTag(out_, kDefineSprite, body);
    return id;
}

std::uint16_t Compiler::EmitButton(const Definition& def) {
    // One record per distinct object, carrying every state it appears in.
    const std::string* states[4] = {&def.up, &def.over, &def.down, &def.hit};
    std::vector<std::pair<const Definition*, std::uint8_t>> records;
    for (int s = 0; s < 4; ++s) {
        if (states[s]->empty()) continue;
        static const char* const names[4] = {"up", "over", "down", "hit"};
        const Definition& target = Lookup(*states[s], def.where, names[s]);
        if (!IsPlaceable(target.kind)) FailAt(def.where, names[s], "\"" + *states[s] + "\" cannot be shown");
        Emit(target);
        auto it = std::find_if(records.begin(), records.end(), [&](const auto& r) { return r.first == &target; });
        if (it == records.end())
            records.emplace_back(&target, static_cast<std::uint8_t>(1u << s));
        else
            it->second |= static_cast<std::uint8_t>(1u << s);
    }
    BitWriter w;
    std::uint16_t id = NewCharacterId(def.where);
    w.U16(id);
    w.U8(def.menu ? 1 : 0);
    BitWriter rest;
    std::uint16_t depth = 1;
    for (const auto& r : records) {
        rest.U8(r.second);  // bit 0 up, 1 over, 2 down, 3 hit
        rest.U16(CharacterOf(*r.first));
        rest.U16(depth++);
        WriteMatrix(rest, Placement{});
        std::int32_t none[4] = {0, 0, 0, 0};
        WriteColorTransform(rest, none);
    }
    rest.U8(0);
    std::uint16_t actionOffset = 0;
    if (!def.actions.empty()) {
        actionOffset = static_cast<std::uint16_t>(std::min<std::size_t>(rest.Size() + 2, 0xffff));
        if (rest.Size() + 2 > 0xffff) FailAt(def.where, "", "button too large");
        rest.U16(0);    // last condition record
        rest.U8(0x08);  // on release (over, down -> over, up)
        rest.U8(0x00);
        rest.Bytes(EncodeActions(def.actions));
    }
    w.U16(actionOffset);
    w.Bytes(rest.Data());
    WriteTag(out_, kDefineButton2, w.Data());
    return id;
}

}  // namespace tarnquill
