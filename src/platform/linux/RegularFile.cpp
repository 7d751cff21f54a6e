#include "platform/RegularFile.h"

#include "platform/FileNames.h"
#include "platform/linux/LongPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace tavello {

OwnedFd OpenRegularFd(const QString& path) {
    if (path.isEmpty()) return {};
    // Non-blocking, so that opening a FIFO with no writer returns at once instead of waiting.
    OwnedFd fd(
        OpenLongPath(AT_FDCWD, EncodeFileName(path), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    // Reads of a regular file never block anyway; plain mode keeps stdio-style readers happy.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

std::unique_ptr<QFile> OpenRegularFile(const QString& path) {
    OwnedFd fd = OpenRegularFd(path);
    if (!fd.valid()) return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return nullptr;
    fd.release();
    return file;
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes, bool* cut) {
    const std::unique_ptr<QFile> file = OpenRegularFile(path);
    if (!file) return std::nullopt;
    const qint64 size = file->size();
    QByteArray bytes;
    // Reserve by the file's own size, and read one byte beyond the limit to see whether it is cut.
    bytes.reserve(static_cast<qsizetype>(std::clamp<qint64>(size, 0, maxBytes)));
    char chunk[64 * 1024];
    while (bytes.size() < maxBytes + 1) {
        const qint64 want = std::min<qint64>(sizeof chunk, maxBytes + 1 - bytes.size());
        const qint64 got = file->read(chunk, want);
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        bytes.append(chunk, static_cast<qsizetype>(got));
    }
    const bool longer = bytes.size() > maxBytes;
    if (longer) bytes.truncate(static_cast<qsizetype>(maxBytes));
    if (cut) *cut = longer;
    return bytes;
}

}  // namespace tavello
