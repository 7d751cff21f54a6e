// Picture files: the wholeness checks (JPEG end marker, BMP rows, PNG end, WebP length, GIF first
// frame) and loading through Qt's readers and libheif with the size limits, at the picture's own
// size and reduced as the show and the dialog's preview ask for it; and the picture loader's own
// decode from an open file, at the size the show's fit gives.
//
// Input: the file's bytes.

#include "FuzzSupport.h"

#include "loader/LoaderDecode.h"
#include "toolkit/Picture.h"
#include "toolkit/PictureIntegrity.h"

#include <fcntl.h>
#include <unistd.h>
#include <QBuffer>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

using namespace tavello;

namespace {

// Decoding a picture of hundreds of megapixels at its own size is allowed, but takes seconds;
// the harness asks for that only up to here, so the run tries many inputs.
constexpr qint64 kOwnSizeLimitPixels = 4LL * 1000 * 1000;

void CheckLoaded(const std::optional<LoadedPicture>& picture, QSize decodeSize) {
    if (!picture) return;
    fuzz::Check(!picture->image.isNull(), "a loaded picture has no image");
    fuzz::Check(picture->ownSize.isValid() && !picture->ownSize.isEmpty(),
                "a loaded picture has no size of its own");
    // Decoded whole, the picture is exactly as large as it says it is.
    const QSize reduced = ReducedDecodeSize(picture->ownSize, decodeSize);
    fuzz::Check(picture->image.size() == (reduced.isValid() ? reduced : picture->ownSize),
                "the picture decoded to another size than it was loaded at");
}

// What the loader decodes for the show: a picture fitting the screen it is fitted to, or its own
// size when that is smaller.
void CheckShown(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    for (const ShowFit& fit :
         {ShowFit{QStringLiteral("fit"), 64, 48, 1}, ShowFit{QStringLiteral("100%"), 7, 300, 1}}) {
        const std::optional<LoadedPicture> picture = DecodeForShow(fd, fit);
        if (!picture) continue;
        fuzz::Check(!picture->image.isNull() && !picture->ownSize.isEmpty(),
                    "the loader decoded a picture without an image or a size");
        const QSize bound = picture->ownSize.boundedTo(QSize(fit.screenW, fit.screenH));
        fuzz::Check(picture->image.width() <= std::max(bound.width(), 1) &&
                        picture->image.height() <= std::max(bound.height(), 1),
                    "the loader decoded a picture larger than the screen and its own size");
    }
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = fuzz::Bytes(data, size);
    fuzz::Keep(BmpIsComplete(bytes, bytes.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    fuzz::Keep(PictureFileComplete(buffer));

    const QString path = fuzz::WriteScratchFile(QStringLiteral("picture"), bytes);
    const std::optional<QSize> own = ReadPictureSize(path);
    for (const QSize decodeSize : {QSize(64, 48), QSize(7, 300)}) {
        CheckLoaded(LoadPicture(path, decodeSize), decodeSize);
    }
    if (own && qint64(own->width()) * own->height() <= kOwnSizeLimitPixels)
        CheckLoaded(LoadPicture(path), QSize());
    CheckShown(path);
    return 0;
}
