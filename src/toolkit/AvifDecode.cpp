#include "toolkit/HeifPicture.h"
#include "toolkit/RowScaler.h"

#include <QIODevice>

#include <avif/avif.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace tavello {
namespace {

struct DecoderFree {
    void operator()(avifDecoder* decoder) const { avifDecoderDestroy(decoder); }
};
struct ImageFree {
    void operator()(avifImage* image) const { avifImageDestroy(image); }
};
using Decoder = std::unique_ptr<avifDecoder, DecoderFree>;
using ImageView = std::unique_ptr<avifImage, ImageFree>;

constexpr qint64 kMaxDecodePixels = qint64(kMaxDecodeMegabytes) * 1024 * 1024 / 4;

// Rows converted to RGB at a time, and the rows above and below each band converted with it so
// that the chroma of its edge rows is interpolated from its true neighbours.
constexpr uint32_t kBandRows = 64;
constexpr uint32_t kBandOverlap = 2;

// A picture cropped, turned or mirrored is left to libheif, which applies these as it decodes.
constexpr avifTransformFlags kShapeTransforms =
    AVIF_TRANSFORM_CLAP | AVIF_TRANSFORM_IROT | AVIF_TRANSFORM_IMIR;

// Converts the rows `from` to `from + count` of `rect` to RGBA together with their overlap, and
// hands them to the scaler.
bool ScaleBand(const avifImage* image, const avifCropRect& rect, uint32_t from, uint32_t count,
               std::vector<uint8_t>& buffer, RowScaler& scaler) {
    const uint32_t top = rect.y + from >= kBandOverlap ? rect.y + from - kBandOverlap : 0;
    const uint32_t bottom = std::min(image->height, rect.y + from + count + kBandOverlap);
    const avifCropRect band{rect.x, top, rect.width, bottom - top};
    const ImageView view(avifImageCreateEmpty());
    if (!view || avifImageSetViewRect(view.get(), image, &band) != AVIF_RESULT_OK) return false;
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, view.get());
    rgb.format = AVIF_RGB_FORMAT_RGBA;
    rgb.depth = 8;
    rgb.alphaPremultiplied = AVIF_FALSE;
    rgb.rowBytes = rect.width * 4;
    buffer.resize(size_t(rgb.rowBytes) * band.height);
    rgb.pixels = buffer.data();
    if (avifImageYUVToRGB(view.get(), &rgb) != AVIF_RESULT_OK) return false;
    for (uint32_t row = rect.y + from - top; row < rect.y + from - top + count; ++row) {
        scaler.addRow(buffer.data() + size_t(row) * rgb.rowBytes);
    }
    return true;
}

// The decoded picture scaled to `size`, a band of rows at a time, so that the only full-size
// buffer is the decoder's own YUV.
QImage ScaledRgb(const avifImage* image, QSize size) {
    const avifCropRect rect{0, 0, image->width, image->height};
    RowScaler scaler(QSize(int(rect.width), int(rect.height)), size, image->alphaPlane != nullptr);
    if (!scaler.valid()) return QImage();
    std::vector<uint8_t> buffer;
    for (uint32_t from = 0; from < rect.height; from += kBandRows) {
        const uint32_t count = std::min(kBandRows, rect.height - from);
        if (!ScaleBand(image, rect, from, count, buffer, scaler)) return QImage();
    }
    return scaler.take();
}

Decoder ParsedDecoder(const QByteArray& bytes) {
    Decoder decoder(avifDecoderCreate());
    if (!decoder) return nullptr;
    decoder->maxThreads = 2;
    decoder->ignoreExif = AVIF_TRUE;
    decoder->ignoreXMP = AVIF_TRUE;
    decoder->imageSizeLimit = uint32_t(kMaxDecodePixels);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    if (avifDecoderSetIOMemory(decoder.get(), data, size_t(bytes.size())) != AVIF_RESULT_OK ||
        avifDecoderParse(decoder.get()) != AVIF_RESULT_OK) {
        return nullptr;
    }
    return decoder;
}

}  // namespace

std::optional<std::optional<LoadedPicture>> LoadAvifPicture(QIODevice& file, QSize decodeSize) {
    if (!file.seek(0)) return std::optional<LoadedPicture>();
    const QByteArray bytes = file.readAll();
    const Decoder decoder = ParsedDecoder(bytes);
    if (!decoder) return std::optional<LoadedPicture>();
    if (decoder->image->transformFlags & kShapeTransforms) return std::nullopt;
    const QSize own(int(decoder->image->width), int(decoder->image->height));
    if (own.isEmpty() || Pixels(own) > kMaxDecodePixels) return std::optional<LoadedPicture>();
    // The decoder allocates no frame larger than the header says; one that is, is refused.
    decoder->imageSizeLimit = uint32_t(Pixels(own));
    if (avifDecoderReset(decoder.get()) != AVIF_RESULT_OK ||
        avifDecoderNextImage(decoder.get()) != AVIF_RESULT_OK) {
        return std::optional<LoadedPicture>();
    }
    const avifImage* image = decoder->image;
    if (QSize(int(image->width), int(image->height)) != own || !image->yuvPlanes[0]) {
        return std::optional<LoadedPicture>();
    }
    const QSize target = ReducedDecodeSize(own, decodeSize);
    QImage result = ScaledRgb(image, target.isValid() ? target : own);
    if (result.isNull()) return std::optional<LoadedPicture>();
    return std::optional<LoadedPicture>(LoadedPicture{std::move(result), own, false});
}

}  // namespace tavello
