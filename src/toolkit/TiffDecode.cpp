#include "toolkit/DirectDecode.h"

#include "toolkit/Picture.h"
#include "toolkit/RowScaler.h"

#include <QIODevice>

#include <tiffio.h>

#include <memory>
#include <vector>

namespace tavello {
namespace {

// libtiff reads through these from the device that was opened as a regular file.
QIODevice* Device(thandle_t handle) {
    return static_cast<QIODevice*>(handle);
}

tmsize_t Read(thandle_t handle, void* data, tmsize_t size) {
    return Device(handle)->read(static_cast<char*>(data), size);
}

tmsize_t Write(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    QIODevice* device = Device(handle);
    const qint64 base = whence == SEEK_CUR   ? device->pos()
                        : whence == SEEK_END ? device->size()
                                             : 0;
    // A backward move comes as a huge unsigned offset: the sum wraps round to the right place.
    const qint64 target = qint64(quint64(base) + offset);
    return device->seek(target) ? toff_t(target) : toff_t(-1);
}

int Close(thandle_t) {
    return 0;
}

toff_t Size(thandle_t handle) {
    return toff_t(Device(handle)->size());
}

int NoMap(thandle_t, void**, toff_t*) {
    return 0;
}

void NoUnmap(thandle_t, void*, toff_t) {}

// Qt's reader reports the same file's faults; nothing is printed twice.
int Quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffClose {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using Tiff = std::unique_ptr<TIFF, TiffClose>;

Tiff OpenTiff(QIODevice& file) {
    if (!file.seek(0)) return nullptr;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    // Whatever the tags claim, libtiff allocates no more than the largest picture we decode.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(kMaxDecodeMegabytes) * 1024 * 1024);
    TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
    // "m": no memory mapping, every byte is read through the device.
    TIFF* tiff = TIFFClientOpenExt("picture", "rm", &file, Read, Write, Seek, Close, Size, NoMap,
                                   NoUnmap, options);
    TIFFOpenOptionsFree(options);
    return Tiff(tiff);
}

// The alpha sample's kind (associated or unassociated), or 0 when there is none.
uint16_t AlphaKind(TIFF* tiff) {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count != 1 || !kinds) return 0;
    const bool alpha = kinds[0] == EXTRASAMPLE_ASSOCALPHA || kinds[0] == EXTRASAMPLE_UNASSALPHA;
    return alpha ? kinds[0] : 0;
}

// Compressions whose rows libtiff hands over one at a time, with or without a predictor.
bool ReadsRowByRow(uint16_t compression) {
    switch (compression) {
        case COMPRESSION_NONE:
        case COMPRESSION_LZW:
        case COMPRESSION_ADOBE_DEFLATE:
        case COMPRESSION_DEFLATE:
        case COMPRESSION_PACKBITS:
            return TIFFIsCODECConfigured(compression);
        default:
            return false;
    }
}

bool IsSize(TIFF* tiff, QSize size) {
    uint32_t width = 0, height = 0;
    return TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) &&
           TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) &&
           QSize(int(width), int(height)) == size;
}

}  // namespace

bool TiffDecodesInRows(QIODevice& file) {
    const Tiff tiff = OpenTiff(file);
    uint16_t photometric = 0, bits = 0, samples = 0, planar = 0, compression = 0;
    return tiff && !TIFFIsTiled(tiff.get()) &&
           TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric) &&
           photometric == PHOTOMETRIC_RGB &&
           TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits) && bits == 8 &&
           TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples) && samples == 3 &&
           TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar) &&
           planar == PLANARCONFIG_CONTIG &&
           TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_COMPRESSION, &compression) &&
           ReadsRowByRow(compression);
}

QImage DecodeWithLibtiffScaled(QIODevice& file, QSize size, QSize scaledSize) {
    const Tiff tiff = OpenTiff(file);
    if (!tiff || !IsSize(tiff.get(), size) ||
        TIFFScanlineSize64(tiff.get()) != uint64_t(size.width()) * 3) {
        return QImage();
    }
    RowScaler scaler(size, scaledSize, false, RowScaler::Rows::Rgb);
    if (!scaler.valid()) return QImage();
    std::vector<uint8_t> row(size_t(size.width()) * 3);
    // A damaged or cut-off strip fails the whole picture, as it does with Qt's reader.
    for (int y = 0; y < size.height(); ++y) {
        if (TIFFReadScanline(tiff.get(), row.data(), uint32_t(y), 0) < 0) return QImage();
        scaler.addRow(row.data());
    }
    return scaler.take();
}

bool TiffNeedsLibtiff(QIODevice& file) {
    const Tiff tiff = OpenTiff(file);
    uint16_t photometric = 0, bits = 0, samples = 0, planar = 0;
    return tiff && TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric) &&
           (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) &&
           TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits) && bits == 8 &&
           TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples) && samples == 2 &&
           TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar) &&
           planar == PLANARCONFIG_CONTIG && AlphaKind(tiff.get()) != 0;
}

QImage DecodeWithLibtiff(QIODevice& file, QSize size) {
    const Tiff tiff = OpenTiff(file);
    uint16_t orientation = ORIENTATION_TOPLEFT;
    if (!tiff || !IsSize(tiff.get(), size)) return QImage();
    const auto width = uint32_t(size.width()), height = uint32_t(size.height());
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
    // libtiff hands grey with an alpha sample over as it is stored: premultiplied when associated.
    const bool premultiplied = AlphaKind(tiff.get()) == EXTRASAMPLE_ASSOCALPHA;
    QImage image(size, premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32);
    if (image.isNull()) return QImage();
    // Asked for the file's own orientation, libtiff lays the rows out as stored, neither flipped
    // nor turned; stopping at the first damaged strip or tile makes a cut-off file fail.
    constexpr int kStopOnError = 1;
    if (!TIFFReadRGBAImageOriented(tiff.get(), width, height,
                                   reinterpret_cast<uint32_t*>(image.bits()), orientation,
                                   kStopOnError)) {
        return QImage();
    }
    // Each pixel comes as 0xAABBGGRR.
    return std::move(image).rgbSwapped().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace tavello
