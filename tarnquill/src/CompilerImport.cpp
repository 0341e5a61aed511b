// Sprites from files: imported SWF movies and Windows metafiles.
#include "CompilerInternal.h"
#include "Files.h"
#include "Pictures.h"
#include "SwfImport.h"
#include "tarnquill/Wmf.h"

#include <algorithm>
#include <cmath>

namespace tarnquill {

std::uint16_t Compiler::EmitSpriteFromFile(const Definition& def) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(ResolvePath(def.src), std::max(kMaxImportedSwfBytes, wmf::kMaxWmfBytes), "sprite file");
    } catch (const InputError& e) {
        FailAt(def.where, "src", e.what());
    }
    if (LooksLikeSwf(bytes)) return EmitImportedMovie(def, bytes);
    if (wmf::LooksLikeWmf(bytes.data(), bytes.size())) return EmitMetafile(def, bytes);
    FailAt(def.where, "src", "sprite file " + def.src + " is neither a SWF movie nor a Windows metafile");
}

std::uint16_t Compiler::EmitImportedMovie(const Definition& def, const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > kMaxImportedSwfBytes) FailAt(def.where, "src", "movie " + def.src + " is too large to import");
    std::vector<std::string> notes;
    ImportedMovie movie;
    try {
        movie = ImportSwf(
            bytes, [&] { return NewCharacterId(def.where); }, def.lockroot, notes);
    } catch (const InputError& e) {
        FailAt(def.where, "src", "cannot import movie " + def.src + ": " + e.what());
    }
    for (const std::string& note : notes)
        warnings_.push_back(FormatError("movie " + def.src + ": " + note, def.where.element, "src", def.where.line));
    out_.insert(out_.end(), movie.definitions.begin(), movie.definitions.end());
    std::uint16_t id = NewCharacterId(def.where);
    BitWriter body;
    body.U16(id);
    body.U16(movie.frameCount);
    body.Bytes(movie.timeline);
    WriteTag(out_, kDefineSprite, body.Data());
    return id;
}

// The metafile's drawing becomes one DefineShape3 scaled to the sprite's size, each
// path with styles of its own so that later paths paint over earlier ones.
std::uint16_t Compiler::EmitMetafile(const Definition& def, const std::vector<std::uint8_t>& bytes) {
    if (!def.hasWidth || !def.hasHeight || def.width <= 0 || def.height <= 0)
        FailAt(def.where, def.hasWidth && def.width > 0 ? "height" : "width",
               "a metafile sprite needs a positive width and height");
    wmf::Drawing drawing;
    try {
        drawing = wmf::ParseWmf(bytes);
    } catch (const wmf::WmfError& e) {
        FailAt(def.where, "src", "metafile " + def.src + ": " + e.what());
    }
    for (const std::string& w : drawing.warnings)
        warnings_.push_back(FormatError("metafile " + def.src + ": " + w, def.where.element, "src", def.where.line));
    const double w = def.width, h = def.height;
    auto X = [&](double v) { return static_cast<std::int32_t>(std::lround(std::clamp(v * w, -1e8, 1e8))); };
    auto Y = [&](double v) { return static_cast<std::int32_t>(std::lround(std::clamp(v * h, -1e8, 1e8))); };
    Rect bounds{0, def.width, 0, def.height};
    // The metafile's bitmaps come first, each once, as lossless bitmaps with their alpha.
    std::vector<std::uint16_t> bitmapIds;
    for (const wmf::Bitmap& bitmap : drawing.bitmaps) {
        std::vector<std::uint8_t> argb(bitmap.rgba.size());
        for (std::size_t i = 0; i + 3 < bitmap.rgba.size(); i += 4) {
            const std::uint32_t a = bitmap.rgba[i + 3];
            argb[i] = static_cast<std::uint8_t>(a);
            for (int k = 0; k < 3; ++k) argb[i + 1 + k] = static_cast<std::uint8_t>(bitmap.rgba[i + k] * a / 255);
        }
        const std::uint16_t bitmapId = NewCharacterId(def.where);
        BitWriter b;
        b.U16(bitmapId);
        b.U8(5);  // 32-bit premultiplied ARGB
        b.U16(static_cast<std::uint16_t>(bitmap.width));
        b.U16(static_cast<std::uint16_t>(bitmap.height));
        b.Bytes(Deflate(argb));
        WriteTag(out_, kDefineBitsLossless2, b.Data(), true);
        bitmapIds.push_back(bitmapId);
    }
    ShapeBuilder shape(0);
    for (const wmf::Path& path : drawing.paths) {
        std::uint16_t lineWidth = 20;  // the thinnest pen is one pixel
        if (path.stroked && path.strokeWidth > 0)
            lineWidth = static_cast<std::uint16_t>(std::clamp(std::lround(path.strokeWidth * w), 20L, 65535L));
        std::int32_t pad = path.stroked ? lineWidth / 2 + 1 : 0;
        BitWriter arrays;
        arrays.U8(path.filled ? 1 : 0);
        if (path.filled && path.bitmap >= 0 && static_cast<std::size_t>(path.bitmap) < bitmapIds.size()) {
            const wmf::Bitmap& bitmap = drawing.bitmaps[static_cast<std::size_t>(path.bitmap)];
            arrays.U8(0x41);  // clipped bitmap, smoothed: metafile bitmaps are mostly stretched
            arrays.U16(bitmapIds[static_cast<std::size_t>(path.bitmap)]);
            Placement m;
            m.a = (path.bitmapCorner.x - path.bitmapOrigin.x) * w / bitmap.width;
            m.d = (path.bitmapCorner.y - path.bitmapOrigin.y) * h / bitmap.height;
            m.tx = X(path.bitmapOrigin.x);
            m.ty = Y(path.bitmapOrigin.y);
            WriteMatrix(arrays, m);
        } else if (path.filled) {
            arrays.U8(0x00);
            arrays.U8(static_cast<std::uint8_t>(path.fillRgb >> 16));
            arrays.U8(static_cast<std::uint8_t>(path.fillRgb >> 8));
            arrays.U8(static_cast<std::uint8_t>(path.fillRgb));
            arrays.U8(255);
        }
        arrays.U8(path.stroked ? 1 : 0);
        if (path.stroked) {
            arrays.U16(lineWidth);
            arrays.U8(static_cast<std::uint8_t>(path.strokeRgb >> 16));
            arrays.U8(static_cast<std::uint8_t>(path.strokeRgb >> 8));
            arrays.U8(static_cast<std::uint8_t>(path.strokeRgb));
            arrays.U8(255);
        }
        shape.NewStyles(arrays.Data(), path.filled ? 1 : 0, path.stroked ? 1 : 0);
        for (const wmf::Contour& c : path.contours) {
            bool fill = path.filled && c.closed;
            shape.Select(X(c.start.x), Y(c.start.y), 0, fill ? 1 : 0, path.stroked ? 1 : 0);
            auto grow = [&](std::int32_t x, std::int32_t y) {
                bounds = Rect{std::min(bounds.xMin, x - pad), std::max(bounds.xMax, x + pad),
                              std::min(bounds.yMin, y - pad), std::max(bounds.yMax, y + pad)};
            };
            grow(X(c.start.x), Y(c.start.y));
            for (const wmf::Segment& s : c.segments) {
                if (s.curve) {
                    shape.CurveTo(X(s.control.x), Y(s.control.y), X(s.to.x), Y(s.to.y));
                    grow(X(s.control.x), Y(s.control.y));
                } else {
                    shape.LineTo(X(s.to.x), Y(s.to.y));
                }
                grow(X(s.to.x), Y(s.to.y));
            }
        }
    }
    shape.End();
    BitWriter s;
    std::uint16_t shapeId = NewCharacterId(def.where);
    s.U16(shapeId);
    WriteRect(s, bounds);
    s.U8(0);  // styles come with each path
    s.U8(0);
    s.U8(0);  // no fill or line bits until then
    s.Bytes(shape.Writer().Data());
    WriteTag(out_, kDefineShape3, s.Data());

    std::uint16_t id = NewCharacterId(def.where);
    BitWriter body;
    body.U16(id);
    body.U16(1);
    BitWriter place;
    place.U8(0x02 | 0x04);
    place.U16(1);
    place.U16(shapeId);
    WriteMatrix(place, Placement{});
    WriteTag(body.Data(), kPlaceObject2, place.Data());
    WriteTag(body.Data(), kShowFrame, {});
    WriteTag(body.Data(), kEnd, {});
    WriteTag(out_, kDefineSprite, body.Data());
    return id;
}

}  // namespace tarnquill
