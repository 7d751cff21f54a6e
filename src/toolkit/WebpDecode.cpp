#include "toolkit/DirectDecode.h"

#include <QIODevice>

#include <webp/decode.h>

namespace tavello {
namespace {

constexpr int kVp8xAnimationFlag = 0x02;

}  // namespace

bool IsStillWebp(QIODevice& file) {
    if (!file.seek(0)) return false;
    // RIFF header, then the first chunk: a simple picture (VP8, VP8L) or the extended header,
    // whose flags say whether frames follow.
    const QByteArray head = file.read(21);
    if (head.size() < 16 || !head.startsWith("RIFF") || head.mid(8, 4) != "WEBP") return false;
    const QByteArray chunk = head.mid(12, 4);
    if (chunk == "VP8 " || chunk == "VP8L") return true;
    return chunk == "VP8X" && head.size() == 21 && (quint8(head[20]) & kVp8xAnimationFlag) == 0;
}

QImage DecodeWithLibwebp(QIODevice& file, QSize size, QSize scaledSize) {
    if (!file.seek(0)) return QImage();
    // The caller has kept the file within the size limit; the decoder wants it whole.
    const QByteArray bytes = file.readAll();
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) ||
        WebPGetFeatures(data, size_t(bytes.size()), &config.input) != VP8_STATUS_OK ||
        config.input.has_animation || QSize(config.input.width, config.input.height) != size) {
        return QImage();
    }
    const QSize out = scaledSize.isValid() ? scaledSize : size;
    config.options.use_scaling = scaledSize.isValid();
    config.options.scaled_width = out.width();
    config.options.scaled_height = out.height();
    // Straight into the picture's own rows: premultiplied BGRA is ARGB32 on a little-endian
    // machine, opaque pictures get an alpha of 255 throughout.
    const bool alpha = config.input.has_alpha;
    QImage image(out, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) return image;
    config.output.colorspace = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? (alpha ? MODE_bgrA : MODE_BGRA)
                                                               : (alpha ? MODE_Argb : MODE_ARGB);
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.bits();
    config.output.u.RGBA.stride = int(image.bytesPerLine());
    config.output.u.RGBA.size = size_t(image.sizeInBytes());
    const bool decoded = WebPDecode(data, size_t(bytes.size()), &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    return decoded ? image : QImage();
}

}  // namespace tavello
