#pragma once

// HEIC and AVIF pictures made on the spot by libheif's encoders, which also write the turn of a
// phone held sideways (ImageMagick writes neither turn nor mirror).

#include "picture_samples.h"

#include <libheif/heif.h>

#include <cstring>

namespace tavello::test::samples {

inline heif_error AppendBytes(heif_context*, const void* data, size_t size, void* out) {
    static_cast<QByteArray*>(out)->append(static_cast<const char*>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
}

// The picture as libheif's 8-bit RGB image; release it with heif_image_release.
inline heif_image* HeifImage(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_image* image = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                      &image);
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    return image;
}

// A HEIF file (HEVC or AV1 coded) with its irot/imir boxes saying `orientation` (1 to 8, as in
// EXIF). `picture` is stored as it is; a reader applying the boxes shows it turned. With a
// `thumbnail` picture, that one is stored as the thumbnail, scaled to fit `thumbnailSide`.
inline QByteArray EncodeHeif(const QImage& picture, heif_compression_format coding,
                             heif_orientation orientation = heif_orientation_normal,
                             const QImage& thumbnail = QImage(), int thumbnailSide = 0) {
    heif_image* image = HeifImage(picture);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    QByteArray bytes;
    if (heif_context_get_encoder_for_format(context, coding, &encoder).code == heif_error_Ok) {
        heif_encoder_set_lossy_quality(encoder, 90);
        heif_encoding_options* options = heif_encoding_options_alloc();
        options->image_orientation = orientation;
        heif_image_handle* handle = nullptr;
        if (heif_context_encode_image(context, image, encoder, options, &handle).code ==
            heif_error_Ok) {
            if (!thumbnail.isNull()) {
                heif_image* small = HeifImage(thumbnail);
                heif_image_handle* thumb = nullptr;
                heif_context_encode_thumbnail(context, small, handle, encoder, options,
                                              thumbnailSide, &thumb);
                if (thumb) heif_image_handle_release(thumb);
                heif_image_release(small);
            }
            heif_image_handle_release(handle);
            heif_writer writer{1, AppendBytes};
            heif_context_write(context, &writer, &bytes);
        }
        heif_encoding_options_free(options);
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    heif_image_release(image);
    return bytes;
}

// The same file with another major brand in its file-type box; the compatible brands stay.
inline QByteArray WithMajorBrand(QByteArray heif, const char* brand) {
    if (heif.size() >= 12) heif.replace(8, 4, brand);
    return heif;
}

}  // namespace tavello::test::samples
