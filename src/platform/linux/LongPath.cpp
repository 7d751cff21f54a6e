#include "platform/linux/LongPath.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace tavello {

int OpenLongPath(int at, const QByteArray& path, int flags) {
    constexpr qsizetype kPiece = PATH_MAX / 2;
    if (path.size() < kPiece) return ::openat(at, path.constData(), flags);
    int fd = at;  // AT_FDCWD is negative, so the loop asks for fd == at too
    qsizetype begin = 0;
    while ((fd >= 0 || fd == at) && begin < path.size()) {
        qsizetype end = path.lastIndexOf('/', begin + kPiece);
        if (end <= begin) end = path.indexOf('/', begin + kPiece);
        const bool last = end < 0 || path.size() - begin < kPiece;
        if (last) end = path.size();
        const QByteArray piece = end == 0 ? QByteArray("/") : path.mid(begin, end - begin);
        const int next = ::openat(fd, piece.constData(),
                                  last ? flags : O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
        if (fd != at) ::close(fd);
        fd = next;
        begin = end + 1;
    }
    return fd;
}

}  // namespace tavello
