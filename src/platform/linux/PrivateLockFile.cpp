#include "platform/linux/PrivateLockFile.h"

#include "platform/Paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavello {
namespace {

// Ours, a real folder or file of the wanted kind, and none of the forbidden permissions.
bool IsPrivate(int fd, mode_t kind, mode_t forbidden) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && (st.st_mode & S_IFMT) == kind && st.st_uid == ::getuid() &&
           (st.st_mode & forbidden) == 0;
}

// The folder opened without following a symbolic link in its last part; -1 unless nobody else
// may write into it or look into it.
int OpenPrivateFolder(const LockFolder& folder) {
    const QByteArray path = QFile::encodeName(folder.path);
    if (folder.create) {
        QDir().mkpath(QFileInfo(folder.path).path());
        ::mkdir(path.constData(), 0700);  // an existing one is checked below like any other
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && !IsPrivate(fd, S_IFDIR, S_IRWXG | S_IRWXO)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QString HomeOfUser() {
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    QByteArray buffer(hint > 0 ? static_cast<qsizetype>(hint) : 16384, '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), static_cast<size_t>(buffer.size()),
                     &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && *found->pw_dir == '/')
        return QFile::decodeName(found->pw_dir);
    return QDir::homePath();
}

}  // namespace

std::vector<LockFolder> UserLockFolders() {
    std::vector<LockFolder> folders;
    const QString runtime = UserRuntimeFolder();
    if (!runtime.isEmpty()) folders.push_back({runtime});
    // A fixed folder rather than $TMPDIR, so that starts with different environments still meet.
    folders.push_back({QStringLiteral("/tmp/tavello-%1").arg(::getuid()), true});
    folders.push_back({HomeOfUser() + QStringLiteral("/.cache/tavello"), true});
    return folders;
}

int OpenPrivateLockFile(const LockFolder& folder, const QString& fileName) {
    const int dir = OpenPrivateFolder(folder);
    if (dir < 0) return -1;
    const int fd =
        ::openat(dir, QFile::encodeName(fileName).constData(),
                 O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    ::close(dir);
    if (fd >= 0 && !IsPrivate(fd, S_IFREG, S_IWGRP | S_IWOTH)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace tavello
