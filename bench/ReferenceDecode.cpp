#include "ReferenceDecode.h"

#include "BenchCommon.h"

#include <avif/avif.h>
#include <libheif/heif.h>
#include <png.h>
#include <tiffio.h>
#include <turbojpeg.h>
#include <webp/decode.h>
#include <QFile>

#include <malloc.h>

#include <cstdio>
#include <vector>

namespace tavello::bench {
namespace {

const unsigned char* Bytes(const QByteArray& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

// The smallest of libjpeg-turbo's scaling factors that comes to at least 7/8 of the shown size,
// as our own decode picks its DCT step.
tjscalingfactor JpegFactor(QSize own, QSize shown) {
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    tjscalingfactor best{1, 1};
    for (int i = 0; i < count; ++i) {
        const tjscalingfactor f = factors[i];
        const bool covers = TJSCALED(own.width(), f) * 8 >= shown.width() * 7 &&
                            TJSCALED(own.height(), f) * 8 >= shown.height() * 7;
        if (covers && f.num * best.denom < best.num * f.denom) best = f;
    }
    return best;
}

bool Jpeg(const QByteArray& bytes, QSize shown) {
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    bool done = handle && tjDecompressHeader3(handle, Bytes(bytes), bytes.size(), &width, &height,
                                              &subsampling, &colorspace) == 0;
    if (done) {
        const tjscalingfactor factor = JpegFactor(QSize(width, height), shown);
        const int outW = TJSCALED(width, factor), outH = TJSCALED(height, factor);
        std::vector<unsigned char> pixels(size_t(outW) * outH * 4);
        done = tjDecompress2(handle, Bytes(bytes), bytes.size(), pixels.data(), outW, 0, outH,
                             TJPF_BGRX, 0) == 0;
    }
    if (handle) tjDestroy(handle);
    return done;
}

bool Webp(const QByteArray& bytes, QSize shown) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return false;
    config.options.use_scaling = 1;
    config.options.scaled_width = shown.width();
    config.options.scaled_height = shown.height();
    config.output.colorspace = MODE_BGRA;
    const bool done = WebPDecode(Bytes(bytes), size_t(bytes.size()), &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    return done;
}

bool Png(const QByteArray& bytes) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.constData(), size_t(bytes.size()))) {
        return false;
    }
    png.format = PNG_FORMAT_BGRA;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(png));
    const bool done = png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr);
    png_image_free(&png);
    return done;
}

bool Tiff(const QString& path) {
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff) return false;
    uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    std::vector<uint32_t> pixels(size_t(width) * height);
    const bool done = TIFFReadRGBAImage(tiff, width, height, pixels.data(), 1);
    TIFFClose(tiff);
    return done;
}

bool Heic(const QByteArray& bytes) {
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    const bool done =
        heif_context_read_from_memory_without_copy(context, bytes.constData(), size_t(bytes.size()),
                                                   nullptr)
                .code == heif_error_Ok &&
        heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok &&
        heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                          nullptr)
                .code == heif_error_Ok;
    if (image) heif_image_release(image);
    if (handle) heif_image_handle_release(handle);
    heif_context_free(context);
    return done;
}

bool Avif(const QByteArray& bytes) {
    avifDecoder* decoder = avifDecoderCreate();
    if (!decoder) return false;
    decoder->maxThreads = 2;
    avifImage* image = avifImageCreateEmpty();
    avifRGBImage rgb{};
    bool done = image && avifDecoderReadMemory(decoder, image, Bytes(bytes),
                                               size_t(bytes.size())) == AVIF_RESULT_OK;
    if (done) {
        avifRGBImageSetDefaults(&rgb, image);
        rgb.format = AVIF_RGB_FORMAT_BGRA;
        avifRGBImageAllocatePixels(&rgb);
        done = avifImageYUVToRGB(image, &rgb) == AVIF_RESULT_OK;
    }
    avifRGBImageFreePixels(&rgb);
    if (image) avifImageDestroy(image);
    avifDecoderDestroy(decoder);
    return done;
}

// Brings the peak resident size down to the present one (Linux 4.0 and later); false when it
// cannot.
bool ResetPeak() {
    FILE* refs = std::fopen("/proc/self/clear_refs", "w");
    if (!refs) return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

}  // namespace

qint64 PeakGrowthKb(const std::function<bool()>& decode) {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    if (!decode()) return -1;  // loads the libraries and plugins, not counted
    malloc_trim(0);
    const qint64 before = ResetPeak() ? ProcStatusKb("VmRSS:") : ProcStatusKb("VmHWM:");
    return decode() ? ProcStatusKb("VmHWM:") - before : -1;
}

QString ReferenceLibrary(const QString& format) {
    if (format == "jpg") return "libturbojpeg";
    if (format == "png") return "libpng";
    if (format == "webp") return "libwebp";
    if (format == "tif") return "libtiff";
    if (format == "heic") return "libheif";
    if (format == "avif") return "libavif";
    return {};
}

bool ReferenceDecode(const QString& format, const QString& path, QSize shown) {
    if (format == "tif") return Tiff(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (format == "jpg") return Jpeg(bytes, shown);
    if (format == "png") return Png(bytes);
    if (format == "webp") return Webp(bytes, shown);
    if (format == "heic") return Heic(bytes);
    if (format == "avif") return Avif(bytes);
    return false;
}

}  // namespace tavello::bench
