#include "saver/wayland/ShmBuffers.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <algorithm>

namespace tavello {

namespace {

constexpr std::size_t kBuffersPerSurface = 2;
constexpr int kBytesPerPixel = 4;

void OnRelease(void* data, wl_buffer* /*buffer*/) {
    static_cast<ShmBuffer*>(data)->Released();
}

const wl_buffer_listener kBufferListener = {OnRelease};

}  // namespace

std::unique_ptr<ShmBuffer> ShmBuffer::Make(wl_shm* shm, QSize size,
                                           std::function<void()> released) {
    std::unique_ptr<ShmBuffer> made(new ShmBuffer);
    made->size_ = size;
    made->stride_ = size.width() * kBytesPerPixel;
    made->bytes_ =
        static_cast<std::size_t>(made->stride_) * static_cast<std::size_t>(size.height());
    made->released_ = std::move(released);
    const int fd = memfd_create("tavello-desk", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    if (ftruncate(fd, static_cast<off_t>(made->bytes_)) != 0) {
        close(fd);
        return nullptr;
    }
    void* data = mmap(nullptr, made->bytes_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    made->data_ = data;
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(made->bytes_));
    // XRGB8888 is the one format every compositor takes; QImage's RGB32 is laid out the same.
    made->buffer_ = wl_shm_pool_create_buffer(pool, 0, size.width(), size.height(), made->stride_,
                                              WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(made->buffer_, &kBufferListener, made.get());
    return made;
}

ShmBuffer::~ShmBuffer() {
    if (buffer_) wl_buffer_destroy(buffer_);
    if (data_) munmap(data_, bytes_);
}

QImage ShmBuffer::Image() {
    return QImage(static_cast<uchar*>(data_), size_.width(), size_.height(), stride_,
                  QImage::Format_RGB32);
}

void ShmBuffer::Released() {
    busy = false;
    if (released_) released_();
}

ShmBuffers::ShmBuffers(wl_shm* shm, std::function<void()> released)
    : shm_(shm), released_(std::move(released)) {}

ShmBuffer* ShmBuffers::Free(QSize size) {
    // Buffers of an old size go as soon as the compositor no longer reads them.
    std::erase_if(buffers_,
                  [size](const auto& buffer) { return !buffer->busy && buffer->size() != size; });
    for (const auto& buffer : buffers_)
        if (!buffer->busy) return buffer.get();
    if (buffers_.size() >= kBuffersPerSurface) return nullptr;
    auto made = ShmBuffer::Make(shm_, size, released_);
    if (!made) return nullptr;
    buffers_.push_back(std::move(made));
    return buffers_.back().get();
}

}  // namespace tavello
