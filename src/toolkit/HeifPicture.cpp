#include "toolkit/HeifPicture.h"

#include "toolkit/RowScaler.h"

#include <QIODevice>

#include <libheif/heif.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace tavello {
namespace {

// libheif reads through these callbacks from the device that was opened as a regular file, so
// the checks made at opening hold for every byte it reads.
int64_t Position(void* device) {
    return static_cast<QIODevice*>(device)->pos();
}

int Read(void* data, size_t size, void* device) {
    const qint64 wanted = qint64(size);
    return static_cast<QIODevice*>(device)->read(static_cast<char*>(data), wanted) == wanted ? 0
                                                                                             : 1;
}

int Seek(int64_t position, void* device) {
    return static_cast<QIODevice*>(device)->seek(position) ? 0 : 1;
}

heif_reader_grow_status WaitForSize(int64_t target, void* device) {
    // A file on disk never grows while we read it: past its end is a cut-off file.
    return target <= static_cast<QIODevice*>(device)->size()
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
}

// Enough of the file's start for its whole file-type box as any writer makes it.
constexpr qint64 kFileTypeBytes = 256;

const heif_reader kDeviceReader{1, Position, Read, Seek, WaitForSize};

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;
using Image = std::unique_ptr<heif_image, ImageFree>;

void InitOnce() {
    // Loads libheif's decoder plugins where it has any; kept for the whole run.
    static const bool initialised = [] { return heif_init(nullptr).code == heif_error_Ok; }();
    (void)initialised;
}

// The primary picture's handle, or nothing when the file does not parse.
Handle PrimaryHandle(QIODevice& file, Context& context) {
    InitOnce();
    if (!file.seek(0)) return nullptr;
    context.reset(heif_context_alloc());
    if (!context) return nullptr;
    heif_error error = heif_context_read_from_reader(context.get(), &kDeviceReader, &file, nullptr);
    if (error.code != heif_error_Ok) return nullptr;
    heif_image_handle* handle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &handle);
    if (error.code != heif_error_Ok) return nullptr;
    return Handle(handle);
}

QSize SizeOf(const heif_image_handle* handle) {
    return QSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
}

// The smallest thumbnail that covers `target`, or nothing when none does.
Handle CoveringThumbnail(const heif_image_handle* primary, QSize target) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0 || !target.isValid()) return nullptr;
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    Handle best;
    for (const heif_item_id id : ids) {
        heif_image_handle* thumbnail = nullptr;
        if (heif_image_handle_get_thumbnail(primary, id, &thumbnail).code != heif_error_Ok) {
            continue;
        }
        Handle candidate(thumbnail);
        const QSize size = SizeOf(thumbnail);
        const bool covers = size.width() >= target.width() && size.height() >= target.height();
        if (covers && (!best || Pixels(size) < Pixels(SizeOf(best.get())))) {
            best = std::move(candidate);
        }
    }
    return best;
}

// Decodes to 8-bit RGBA with the transformations applied (libheif's default) and scales its rows
// straight into a picture of `size`. Null when the decoded picture is not as large as the handle
// said: its header lied.
QImage Decode(const heif_image_handle* handle, QSize size) {
    const std::unique_ptr<heif_decoding_options, OptionsFree> options(
        heif_decoding_options_alloc());
    if (!options) return QImage();
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 1;
    options->strict_decoding = 1;  // a damaged stream is an error, not a best-effort picture
    heif_image* decoded = nullptr;
    const heif_error error = heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                                               heif_chroma_interleaved_RGBA, options.get());
    if (error.code != heif_error_Ok || !decoded) return QImage();
    const Image image(decoded);
    int stride = 0;
    const uint8_t* pixels =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const QSize own(heif_image_get_width(image.get(), heif_channel_interleaved),
                    heif_image_get_height(image.get(), heif_channel_interleaved));
    if (!pixels || own != SizeOf(handle)) return QImage();
    RowScaler scaler(own, size, heif_image_handle_has_alpha_channel(handle));
    for (int y = 0; y < own.height() && scaler.valid(); ++y) {
        scaler.addRow(pixels + qsizetype(y) * stride);
    }
    return scaler.take();
}

}  // namespace

bool IsHeifFile(QByteArrayView head) {
    if (head.size() < 12) return false;
    // With a whole file-type box in view, libheif is unsure only of the generic major brand
    // "mif1", which many cameras write. Such a file is still HEIF, and libheif reads its HEVC or
    // AV1 pictures; no other reader here knows the container, so it goes to libheif as well.
    const heif_filetype_result type =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(head.data()), int(head.size()));
    return type == heif_filetype_yes_supported || type == heif_filetype_yes_unsupported ||
           type == heif_filetype_maybe;
}

std::optional<QSize> ReadHeifSize(QIODevice& file) {
    Context context;
    const Handle handle = PrimaryHandle(file, context);
    if (!handle) return std::nullopt;
    const QSize size = SizeOf(handle.get());
    if (size.isEmpty()) return std::nullopt;
    return size;
}

bool IsAvifFile(QByteArrayView head) {
    const auto* data = reinterpret_cast<const uint8_t*>(head.data());
    const int size = int(std::min<qsizetype>(head.size(), INT_MAX));
    return heif_main_brand(data, size) == heif_avif ||
           heif_has_compatible_brand(data, size, "avif") == 1;
}

std::optional<LoadedPicture> LoadHeifPicture(QIODevice& file, QSize decodeSize) {
    if (file.seek(0) && IsAvifFile(file.peek(kFileTypeBytes))) {
        if (auto loaded = LoadAvifPicture(file, decodeSize)) return *loaded;
    }
    Context context;
    const Handle primary = PrimaryHandle(file, context);
    if (!primary) return std::nullopt;
    const QSize own = SizeOf(primary.get());
    if (own.isEmpty() || Pixels(own) > kMaxPicturePixels) return std::nullopt;
    const QSize target = ReducedDecodeSize(own, decodeSize);
    const Handle thumbnail = CoveringThumbnail(primary.get(), target);
    const heif_image_handle* chosen = thumbnail ? thumbnail.get() : primary.get();
    constexpr qint64 kMaxDecodePixels = qint64(kMaxDecodeMegabytes) * 1024 * 1024 / 4;
    if (Pixels(SizeOf(chosen)) > kMaxDecodePixels) return std::nullopt;
    if (!HevcStreamsBounded(file, kMaxDecodePixels)) return std::nullopt;

    QImage image = Decode(chosen, target.isValid() ? target : own);
    if (image.isNull()) return std::nullopt;
    return LoadedPicture{std::move(image), own, false};
}

}  // namespace tavello
