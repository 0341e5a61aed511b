// The renderer's picture decoders (PNG, JPEG, DIB, WMF, EMF) and its metafile reader. The first
// byte chooses the format the picture claims (or none, so that it is told from the bytes), a crop
// and whether it is drawn as a picture shape or tiled as a texture fill; the rest is the picture.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/BcRender.h"
#include "render/BcWmf.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    render::SetRenderLog([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const render::PictureFormat kFormats[] = {render::PictureFormat::Unknown, render::PictureFormat::Png,
                                                     render::PictureFormat::Jpeg,    render::PictureFormat::Dib,
                                                     render::PictureFormat::Wmf,     render::PictureFormat::Emf};
    const std::uint8_t how = data[0];
    render::PictureData picture;
    picture.bytes.assign(data + 1, data + size);
    picture.format = kFormats[(how & 0x0F) % 6];
    if (how & 0x10) {
        picture.cropLeft = 0.25;
        picture.cropBottom = 0.5;
    }
    if (how & 0x20) picture.brightness = 0.7;

    render::ShapeDrawing shape;
    shape.frame = {0, 0, 24, 18};
    if (how & 0x40) {
        shape.kind = render::ShapeKind::AutoShape;
        shape.fill.kind = render::FillKind::Texture;
        shape.fill.picture = picture;
        shape.fill.tileWidth = 5;
        shape.fill.tileHeight = 4;
    } else {
        shape.kind = render::ShapeKind::Picture;
        shape.picture = picture;
    }
    const render::Raster raster = render::RenderShapeRaster(shape, 1.0, 1.0);
    if (raster.rgba.size() != static_cast<std::size_t>(raster.width) * raster.height * 4) __builtin_trap();

    render::WmfFile wmf;
    std::string error;
    if (!render::ReadWmf(picture.bytes, wmf, &error) && error.empty()) __builtin_trap();
    return 0;
}
