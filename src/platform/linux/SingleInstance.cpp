#include "platform/linux/FlockInstance.h"

#include "platform/Paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace tavello {
namespace {

// Ours, a real folder or file of the wanted kind, and not writable by group or others.
bool IsPrivate(int fd, mode_t kind) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && (st.st_mode & S_IFMT) == kind && st.st_uid == ::getuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The folder opened without following a symbolic link in its last part; -1 unless it is private.
int OpenPrivateFolder(const LockFolder& folder) {
    const QByteArray path = QFile::encodeName(folder.path);
    if (folder.create) {
        QDir().mkpath(QFileInfo(folder.path).path());
        ::mkdir(path.constData(), 0700);  // an existing one is checked below like any other
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && !IsPrivate(fd, S_IFDIR)) {
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

FlockInstance::FlockInstance(std::vector<LockFolder> folders, QString fileName)
    : folders_(std::move(folders)), fileName_(std::move(fileName)) {}

FlockInstance::FlockInstance(const QString& lockPath)
    : FlockInstance({LockFolder{QFileInfo(lockPath).path()}}, QFileInfo(lockPath).fileName()) {}

FlockInstance::~FlockInstance() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<LockFolder> FlockInstance::SystemLockFolders() {
    const uid_t uid = ::getuid();
    std::vector<LockFolder> folders;
    const QString runtime = UserRuntimeFolder();
    if (!runtime.isEmpty()) folders.push_back({runtime});
    // A fixed folder rather than $TMPDIR, so that starts with different environments still meet.
    folders.push_back({QStringLiteral("/tmp/tavello-%1").arg(uid), true});
    folders.push_back({HomeOfUser() + QStringLiteral("/.cache/tavello"), true});
    return folders;
}

FlockInstance::Outcome FlockInstance::tryFolder(const LockFolder& folder) {
    const int dir = OpenPrivateFolder(folder);
    if (dir < 0) return Outcome::Unusable;
    const int fd =
        ::openat(dir, QFile::encodeName(fileName_).constData(),
                 O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    ::close(dir);
    if (fd < 0) return Outcome::Unusable;
    if (!IsPrivate(fd, S_IFREG)) {
        ::close(fd);
        return Outcome::Unusable;
    }
    lockPath_ = QDir(folder.path).filePath(fileName_);
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return Outcome::Locked;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    if (!held) lockPath_.clear();
    return held ? Outcome::HeldElsewhere : Outcome::Unusable;
}

bool FlockInstance::PrevInstance() {
    if (checked_) return previous_;
    checked_ = true;
    for (const LockFolder& folder : folders_) {
        const Outcome outcome = tryFolder(folder);
        if (outcome != Outcome::Unusable) {
            previous_ = outcome == Outcome::HeldElsewhere;
            break;
        }
    }
    return previous_;
}

InstanceService& SystemInstance() {
    static FlockInstance instance(FlockInstance::SystemLockFolders(),
                                  QStringLiteral("tavello.lock"));
    return instance;
}

}  // namespace tavello
