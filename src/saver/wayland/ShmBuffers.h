#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

struct wl_buffer;
struct wl_shm;

namespace tavello {

// One picture of a surface in memory the compositor shares, painted through a QImage.
class ShmBuffer {
  public:
    // Null when the memory cannot be had.
    static std::unique_ptr<ShmBuffer> Make(wl_shm* shm, QSize size, std::function<void()> released);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    QSize size() const { return size_; }
    wl_buffer* buffer() const { return buffer_; }
    // An image over the buffer's memory; valid while the buffer lives.
    QImage Image();
    // The compositor reads the buffer until it lets it go.
    bool busy = false;
    void Released();

  private:
    ShmBuffer() = default;
    QSize size_;
    int stride_ = 0;
    std::size_t bytes_ = 0;
    void* data_ = nullptr;
    wl_buffer* buffer_ = nullptr;
    std::function<void()> released_;
};

// Two buffers per surface: one painted while the compositor still shows the other.
class ShmBuffers {
  public:
    ShmBuffers(wl_shm* shm, std::function<void()> released);
    // A buffer of that size the compositor is not reading; null while both are in use.
    ShmBuffer* Free(QSize size);

  private:
    wl_shm* shm_;
    std::function<void()> released_;
    std::vector<std::unique_ptr<ShmBuffer>> buffers_;
};

}  // namespace tavello
