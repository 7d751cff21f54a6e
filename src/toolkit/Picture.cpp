#include "toolkit/Picture.h"

#include "platform/RegularFile.h"
#include "toolkit/DirectDecode.h"
#include "toolkit/HeifPicture.h"
#include "toolkit/PictureCost.h"
#include "toolkit/PictureIntegrity.h"
#include "toolkit/RowScaler.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <memory>
#include <thread>

namespace tavello {
namespace {

constexpr qint64 kBytesPerPixel = 4;

bool SwapsSides(QImageIOHandler::Transformations transformation) {
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

// A GIF's logical screen size from its first bytes; invalid for anything else or an empty screen.
QSize GifScreenSize(QByteArrayView head) {
    if (head.size() < 10 || !(head.startsWith("GIF87a") || head.startsWith("GIF89a"))) return {};
    const auto le16 = [&](int at) {
        return int(quint8(head[at])) | int(quint8(head[at + 1])) << 8;
    };
    const QSize screen(le16(6), le16(8));
    return screen.isEmpty() ? QSize() : screen;
}

// The size the reader reports, turned the way the orientation tag says. Invalid when unknown.
// `head` is the file's first bytes: for a GIF the reader reports its first frame's size but
// decodes the whole logical screen, which is what will be shown and allocated.
QSize OrientedSize(QImageReader& reader, QByteArrayView head) {
    const QSize screen = GifScreenSize(head);
    QSize raw = screen.isValid() ? screen : reader.size();
    // A BMP stored top-down says so with a negative height, which the reader passes on as it is.
    if (raw.height() < 0 && raw.height() != INT_MIN && reader.format() == "bmp") {
        raw.setHeight(-raw.height());
    }
    if (!raw.isValid() || raw.isEmpty()) return QSize();
    return SwapsSides(reader.transformation()) ? raw.transposed() : raw;
}

// Which decoder reads the file's pixels: Qt's reader, or for the kinds it draws wrongly or cannot
// decode small the format's own library.
enum class Decoder { Qt, Libpng, LibpngRows, Libtiff, LibtiffRows, Libwebp };

// The decoders for the picture shown at its own size and shown smaller.
struct Decoders {
    Decoder whole = Decoder::Qt;
    Decoder reduced = Decoder::Qt;
};

// How a picture is decoded, in the file's own orientation.
struct DecodePlan {
    QSize readerSize;  // the size asked of the reader; invalid for the picture's own size
    qint64 decoderPixels = 0;
};

// A JPEG whose sides divide by 2, 4 or 8 decodes fastest at exactly that fraction (the DCT's own
// scaling, with the decoder's fast paths). Take the smallest such fraction that comes to at least
// 7/8 of the target on both sides; the last few percent are made up by a smooth resize.
QSize DctStepSize(QSize raw, QSize target) {
    for (const int denom : {8, 4, 2}) {
        if (raw.width() % denom != 0 || raw.height() % denom != 0) continue;
        const QSize step(raw.width() / denom, raw.height() / denom);
        if (step.width() * 8 >= target.width() * 7 && step.height() * 8 >= target.height() * 7) {
            return step;
        }
    }
    return QSize();
}

DecodePlan PlanDecode(QSize raw, QSize rawTarget, const QByteArray& format, Decoder decoder) {
    if (!rawTarget.isValid()) return {QSize(), Pixels(raw)};
    // libwebp scales a still WebP while decoding, into the shown size alone.
    if (decoder == Decoder::Libwebp) return {rawTarget, Pixels(rawTarget)};
    // libpng's and libtiff's rows are scaled as they come: one row, the scaler's sums and the
    // shown size.
    if (decoder == Decoder::LibpngRows || decoder == Decoder::LibtiffRows) {
        const qint64 working = RowScaler::WorkingBytes(raw.width(), raw.height());
        return {rawTarget, Pixels(rawTarget) + raw.width() + working / kBytesPerPixel};
    }
    // Qt's reader decodes an animated WebP whole and scales it afterwards.
    if (format == "webp") return {rawTarget, Pixels(raw)};
    // Other formats cannot decode smaller: they are read whole and scaled afterwards.
    if (format != "jpeg") return {QSize(), Pixels(raw)};
    const QSize step = DctStepSize(raw, rawTarget);
    if (step.isValid()) return {step, Pixels(step)};
    // Otherwise the reader decodes at the smallest multiple of 1/8 that covers the target.
    const double factor = std::min(double(raw.width()) / rawTarget.width(),
                                   double(raw.height()) / rawTarget.height());
    const int eighths = std::clamp(int(std::ceil(8 / factor)), 1, 8);
    const qint64 width = (qint64(raw.width()) * eighths + 7) / 8;
    const qint64 height = (qint64(raw.height()) * eighths + 7) / 8;
    return {rawTarget, std::max(width * height, Pixels(rawTarget))};
}

std::atomic<int> decodeLimitMegabytes{kMaxDecodeMegabytes};

bool WithinLimits(QSize raw, const DecodePlan& plan) {
    const qint64 maxDecodePixels = qint64(DecodeLimitMegabytes()) * 1024 * 1024 / kBytesPerPixel;
    return Pixels(raw) <= kMaxPicturePixels && plan.decoderPixels <= maxDecodePixels;
}

bool StartsAsHeif(QIODevice& file) {
    return file.seek(0) && IsHeifFile(file.peek(64));
}

bool StartsAsTiff(QIODevice& file) {
    if (!file.seek(0)) return false;
    const QByteArray head = file.peek(4);
    return head == QByteArrayView("II*\0", 4) || head == QByteArrayView("MM\0*", 4);
}

Decoder WholeDecoderFor(QIODevice& file) {
    if (!file.seek(0)) return Decoder::Qt;
    if (file.peek(8).startsWith("\x89PNG\r\n\x1A\n")) {
        return PngNeedsLibpng(file) ? Decoder::Libpng : Decoder::Qt;
    }
    if (StartsAsTiff(file)) return TiffNeedsLibtiff(file) ? Decoder::Libtiff : Decoder::Qt;
    return IsStillWebp(file) ? Decoder::Libwebp : Decoder::Qt;
}

Decoders DecodersFor(QIODevice& file) {
    const Decoder whole = WholeDecoderFor(file);
    if (PngDecodesInRows(file)) return {whole, Decoder::LibpngRows};
    const bool tiffRows = whole == Decoder::Qt && StartsAsTiff(file) && TiffDecodesInRows(file);
    return {whole, tiffRows ? Decoder::LibtiffRows : whole};
}

// Turns a picture decoded as stored the way its orientation tag says, as Qt's reader does:
// mirrored first, then turned a quarter clockwise.
QImage Oriented(const QImage& image, QImageIOHandler::Transformations transformation) {
    QImage result = image.mirrored(transformation.testFlag(QImageIOHandler::TransformationMirror),
                                   transformation.testFlag(QImageIOHandler::TransformationFlip));
    if (SwapsSides(transformation)) result = result.transformed(QTransform().rotate(90));
    return result;
}

// Decodes the picture, `raw` pixels as stored, and turns it as its orientation tag says (Qt's
// reader and libwebp decode at the plan's reduced size when it has one).
QImage Decode(QIODevice& file, QImageReader& reader, Decoder decoder, QSize raw,
              const DecodePlan& plan) {
    switch (decoder) {
        case Decoder::Libpng:
            return Oriented(DecodeWithLibpng(file, raw), reader.transformation());
        case Decoder::LibpngRows:
            return Oriented(DecodeWithLibpngScaled(file, raw, plan.readerSize),
                            reader.transformation());
        case Decoder::Libtiff:
            return Oriented(DecodeWithLibtiff(file, raw), reader.transformation());
        case Decoder::LibtiffRows:
            return Oriented(DecodeWithLibtiffScaled(file, raw, plan.readerSize),
                            reader.transformation());
        case Decoder::Libwebp:
            return Oriented(DecodeWithLibwebp(file, raw, plan.readerSize), reader.transformation());
        case Decoder::Qt:
            break;
    }
    return reader.read();
}

// Bilinear resize for the small step left after a DCT-scaled decode (well under a factor of 2).
QImage Resized(const QImage& image, QSize size) {
    QImage result(
        size, image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (result.isNull()) return result;
    if (image.hasAlphaChannel()) result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), image);
    return result;
}

// A whole-picture reduction of any factor, averaging the pixels it drops. Palette and one-bit
// pictures are widened to true colour first, since scaling keeps their format otherwise.
QImage SmoothlyScaled(const QImage& image, QSize size) {
    const QImage::Format wide =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage source = image.format() == wide ? image : image.convertToFormat(wide);
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// What the decoders read: the file itself, or for a PNG carrying bulky text a copy of it without
// its text, held in `copy`. Null when such a PNG is too large to copy or broken.
QIODevice* DecoderInput(QFile& file, QBuffer& copy) {
    if (!PngHasBulkyText(file)) return &file;
    if (file.size() > kMaxPictureFileBytes) return nullptr;
    copy.setData(PngWithoutText(file));
    if (copy.data().isEmpty() || !copy.open(QIODevice::ReadOnly)) return nullptr;
    return &copy;
}

}  // namespace

int DecodeLimitMegabytes() {
    return decodeLimitMegabytes.load();
}

void SetDecodeLimitMegabytes(int megabytes) {
    decodeLimitMegabytes.store(megabytes);
}

QSize ReducedDecodeSize(QSize ownSize, QSize decodeSize) {
    if (!decodeSize.isValid() || decodeSize.isEmpty() || ownSize.isEmpty()) return QSize();
    const bool fits =
        decodeSize.width() <= ownSize.width() && decodeSize.height() <= ownSize.height();
    if (!fits || decodeSize == ownSize) return QSize();
    return decodeSize;
}

std::optional<QSize> ReadPictureSize(const QString& path) {
    // Only regular files: a FIFO or a device given as a picture would block the read for good.
    const std::unique_ptr<QFile> file = OpenRegularFile(path);
    if (!file) return std::nullopt;
    return ReadPictureSize(*file);
}

std::optional<QSize> ReadPictureSize(QFile& file) {
    if (StartsAsHeif(file)) return ReadHeifSize(file);
    QBuffer copy;
    QIODevice* const input = DecoderInput(file, copy);
    if (!input || !input->seek(0)) return std::nullopt;
    const QByteArray head = input->peek(10);
    QImageReader reader(input);
    const QSize size = OrientedSize(reader, head);
    if (!size.isValid()) return std::nullopt;
    return size;
}

std::optional<LoadedPicture> LoadPicture(const QString& path, QSize decodeSize) {
    if (path.isEmpty()) return LoadedPicture{QImage(), QSize(0, 0), true};

    const std::unique_ptr<QFile> file = OpenRegularFile(path);
    if (!file) return std::nullopt;
    return LoadPicture(*file, decodeSize);
}

std::optional<LoadedPicture> LoadPicture(QFile& file, QSize decodeSize) {
    if (file.size() <= 0) return std::nullopt;
    if (file.size() > kMaxPictureFileBytes || !PictureFileComplete(file)) return std::nullopt;
    if (!JpegScansBounded(file)) return std::nullopt;
    if (StartsAsHeif(file)) return LoadHeifPicture(file, decodeSize);
    QBuffer copy;
    QIODevice* const input = DecoderInput(file, copy);
    if (!input) return std::nullopt;
    const Decoders decoders = DecodersFor(*input);
    if (!input->seek(0)) return std::nullopt;
    const QByteArray head = input->peek(10);
    QImageReader reader(input);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(DecodeLimitMegabytes());

    const QSize ownSize = OrientedSize(reader, head);
    if (!ownSize.isValid()) return std::nullopt;
    const bool swapped = SwapsSides(reader.transformation());
    const QSize raw = swapped ? ownSize.transposed() : ownSize;
    QSize rawTarget = ReducedDecodeSize(ownSize, decodeSize);
    if (swapped && rawTarget.isValid()) rawTarget = rawTarget.transposed();
    const Decoder decoder = rawTarget.isValid() ? decoders.reduced : decoders.whole;
    const DecodePlan plan = PlanDecode(raw, rawTarget, reader.format(), decoder);
    if (!WithinLimits(raw, plan)) return std::nullopt;
    if (plan.readerSize.isValid()) reader.setScaledSize(plan.readerSize);

    QImage image = Decode(*input, reader, decoder, raw, plan);
    // A picture that decodes to another size than its header said is damaged or lying.
    if (image.isNull() || (!plan.readerSize.isValid() && image.size() != ownSize)) {
        return std::nullopt;
    }
    const QSize target = ReducedDecodeSize(ownSize, decodeSize);
    if (target.isValid() && image.size() != target) {
        image = plan.readerSize.isValid() ? Resized(image, target) : SmoothlyScaled(image, target);
        if (image.isNull()) return std::nullopt;
    }
    return LoadedPicture{std::move(image), ownSize, false};
}

void LoadDecoders() {
    // Asking what Qt's readers can read loads every image plugin.
    (void)QImageReader::supportedImageFormats();
    QBuffer nothing;
    nothing.open(QIODevice::ReadOnly);
    (void)ReadHeifSize(nothing);  // libheif's own plugins load on first use
}

void PicturePrefetcher::drop() {
    // Never waited for: a load stuck on a share that stopped answering must not hold up the
    // window. The thread ends by itself and its picture is freed with the last future.
    job_ = {};
}

void PicturePrefetcher::request(const QString& path, QSize decodeSize) {
    if (job_.valid() && path == path_ && decodeSize == decodeSize_) return;
    drop();
    path_ = path;
    decodeSize_ = decodeSize;
    std::promise<std::optional<LoadedPicture>> promise;
    job_ = promise.get_future();
    std::thread([promise = std::move(promise), path, decodeSize]() mutable {
        promise.set_value(LoadPicture(path, decodeSize));
    }).detach();
}

bool PicturePrefetcher::ready(const QString& path, QSize decodeSize) const {
    return job_.valid() && path == path_ && decodeSize == decodeSize_ &&
           job_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::optional<LoadedPicture> PicturePrefetcher::take(const QString& path, QSize decodeSize) {
    if (job_.valid() && path == path_ && decodeSize == decodeSize_) {
        std::optional<LoadedPicture> prepared = job_.get();
        job_ = {};
        return prepared;
    }
    drop();
    return LoadPicture(path, decodeSize);
}

}  // namespace tavello
