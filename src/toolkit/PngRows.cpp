#include "toolkit/DirectDecode.h"
#include "toolkit/RowScaler.h"

#include <QIODevice>

#include <png.h>

#include <csetjmp>
#include <vector>

namespace tavello {
namespace {

constexpr qint64 kSignatureBytes = 8;
constexpr int kHeaderBytes = 8 + 8 + 13;  // signature, then the header chunk's frame and data
constexpr int kInterlaceAt = 8 + 8 + 12;

// libpng stops at a fault by jumping back to the reading function; Qt's reader reports the same
// file's faults, so nothing is printed.
[[noreturn]] void Fail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void Ignore(png_structp, png_const_charp) {}

// Reads from the device; a short read is a cut-off file. Holds nothing that needs destroying, as
// libpng may jump out of it.
void ReadFromDevice(png_structp png, png_bytep data, size_t length) {
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (device->read(reinterpret_cast<char*>(data), qint64(length)) != qint64(length)) {
        png_error(png, "cut off");
    }
}

// libpng's reading state, freed whatever happens.
class PngReader {
  public:
    explicit PngReader(QIODevice& file)
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore)),
          info_(png_ ? png_create_info_struct(png_) : nullptr) {
        if (info_) png_set_read_fn(png_, &file, ReadFromDevice);
    }
    ~PngReader() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool valid() const { return info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

  private:
    png_structp png_;
    png_infop info_;
};

// Reads the header and asks libpng for 8-bit RGBA rows (RGB when there is no transparency), as
// Qt's reader decodes them: no gamma correction, 16-bit samples rounded.
// Whether the picture has transparency goes to `alpha`. False for a damaged header.
bool ReadHeader(png_structp png, png_infop info, bool* alpha) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    *alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) ||
             png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png);  // palette to RGB, grey to eight bits, a transparent colour to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    return true;
}

// Feeds every row to the scaler, then reads to the end chunk, so that a damaged or cut-off file
// fails. Holds nothing that needs destroying, as libpng may jump back here.
bool ReadRows(png_structp png, png_bytep row, RowScaler* scaler, int height) {
    if (setjmp(png_jmpbuf(png))) return false;
    for (int y = 0; y < height; ++y) {
        png_read_row(png, row, nullptr);
        scaler->addRow(row);
    }
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

bool PngDecodesInRows(QIODevice& file) {
    if (!file.seek(0)) return false;
    const QByteArray header = file.read(kHeaderBytes);
    return header.size() == kHeaderBytes && header.startsWith("\x89PNG\r\n\x1A\n") &&
           header.mid(kSignatureBytes + 4, 4) == "IHDR" && header[kInterlaceAt] == 0;
}

QImage DecodeWithLibpngScaled(QIODevice& file, QSize size, QSize scaledSize) {
    if (!file.seek(0)) return QImage();
    PngReader reader(file);
    bool alpha = false;
    if (!reader.valid() || !ReadHeader(reader.png(), reader.info(), &alpha)) return QImage();
    const QSize stored(int(png_get_image_width(reader.png(), reader.info())),
                       int(png_get_image_height(reader.png(), reader.info())));
    const size_t rowBytes = size_t(size.width()) * (alpha ? 4 : 3);
    if (stored != size || png_get_rowbytes(reader.png(), reader.info()) != rowBytes) {
        return QImage();
    }
    RowScaler scaler(size, scaledSize, alpha, alpha ? RowScaler::Rows::Rgba : RowScaler::Rows::Rgb);
    std::vector<png_byte> row(rowBytes);
    if (!scaler.valid() || !ReadRows(reader.png(), row.data(), &scaler, size.height())) {
        return QImage();
    }
    return scaler.take();
}

}  // namespace tavello
