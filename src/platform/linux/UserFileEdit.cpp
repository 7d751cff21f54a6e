#include "platform/UserFileEdit.h"

#include "platform/linux/ExtendedAttributes.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tavello {
namespace {

// A writer that saves the file now and then lets an edit through on a later try; one that keeps
// rewriting it wins, and the edit is refused.
constexpr int kTries = 3;

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, so a late write error (some file systems report them here) is seen.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// The same file, unchanged: the identity and the size and time that a writer's save changes.
bool Unchanged(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The file as read: its content (nullopt when there is none yet) and what it was when read (its
// folder, when there is none).
struct Snapshot {
    std::optional<QByteArray> bytes;
    struct stat st {};
    ExtendedAttributes attributes;  // its ACL among them
    bool steady = true;             // not changed while it was being read
};

enum class Step { Done, Failed, Again };

Step Fail(UserFileEditResult& result, UserFileStep step, int error) {
    result.refusal = UserFileRefusal::SystemError;
    result.step = step;
    result.error = error;
    return Step::Failed;
}

Step Refuse(UserFileEditResult& result, UserFileRefusal refusal) {
    result.refusal = refusal;
    return Step::Failed;
}

// The file that really changes: the target of a symbolic link (which must exist), else the path.
std::optional<QString> EditedPath(const QString& path, bool* viaLink, int* error) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    *viaLink = ::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode);
    if (!*viaLink) return path;
    char* real = ::realpath(name.constData(), nullptr);
    if (real == nullptr) {
        *error = errno;
        return std::nullopt;
    }
    const QString target = QFile::decodeName(real);
    std::free(real);
    return target;
}

bool ReadAll(int fd, qint64 maxBytes, QByteArray& bytes) {
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        bytes.append(chunk, static_cast<qsizetype>(got));
        if (bytes.size() > maxBytes) return true;
    }
}

// Reads name in the folder dir without following a link in its place; only the owner's regular
// file is read.
Step Read(int dir, const QByteArray& name, const UserFileEdit& request, bool viaLink,
          Snapshot& snapshot, UserFileEditResult& result) {
    const Fd fd(
        ::openat(dir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        // A missing file is made, unless a link pointed at it: its target is not made anywhere.
        // The folder's own group stands in for the owner's, should the user database not know it.
        if (errno == ENOENT && !viaLink && ::fstat(dir, &snapshot.st) == 0) return Step::Done;
        return Fail(result, UserFileStep::Reading, errno);
    }
    struct stat before {};
    if (::fstat(fd.get(), &before) != 0) return Fail(result, UserFileStep::Reading, errno);
    if (!S_ISREG(before.st_mode)) return Refuse(result, UserFileRefusal::NotRegular);
    if (before.st_uid != request.owner) return Refuse(result, UserFileRefusal::NotOwnersFile);
    QByteArray bytes;
    if (!ReadAll(fd.get(), request.maxBytes, bytes))
        return Fail(result, UserFileStep::Reading, errno);
    if (bytes.size() > request.maxBytes) return Refuse(result, UserFileRefusal::TooLarge);
    if (::fstat(fd.get(), &snapshot.st) != 0 ||
        !ReadExtendedAttributes(fd.get(), snapshot.attributes))
        return Fail(result, UserFileStep::Reading, errno);
    snapshot.steady = Unchanged(before, snapshot.st);
    snapshot.bytes = std::move(bytes);
    return Step::Done;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (put == 0) errno = EIO;
            return false;
        }
        done += put;
    }
    return true;
}

// The user database's entry of uid; its texts live in buffer.
std::optional<struct passwd> LookUpUser(std::uint32_t uid, QByteArray& buffer) {
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    buffer = QByteArray(hint > 0 ? static_cast<qsizetype>(hint) : 16384, '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), static_cast<size_t>(buffer.size()), &found) != 0 ||
        found == nullptr)
        return std::nullopt;
    return entry;
}

// The group a new file of the owner gets: their own.
gid_t PrimaryGroup(std::uint32_t owner, gid_t fallback) {
    QByteArray buffer;
    const std::optional<struct passwd> entry = LookUpUser(owner, buffer);
    return entry ? entry->pw_gid : fallback;
}

// Gives the new file of the owner their own group, when made as root (else it is theirs already).
bool MakeOwners(int fd, const struct stat& now, std::uint32_t owner, gid_t fallback) {
    if (::geteuid() != 0) return true;
    const gid_t gid = PrimaryGroup(owner, fallback);
    return (now.st_uid == owner && now.st_gid == gid) || ::fchown(fd, owner, gid) == 0;
}

// Gives the new file the old one's owner and group. A user may edit their file although they are
// not in its group, which they cannot give a file: it then keeps their own (*groupKept false).
bool KeepOwner(int fd, const struct stat& now, const struct stat& old, bool* groupKept) {
    *groupKept = true;
    if ((now.st_uid == old.st_uid && now.st_gid == old.st_gid) ||
        ::fchown(fd, old.st_uid, old.st_gid) == 0)
        return true;
    if (errno != EPERM || now.st_uid != old.st_uid) return false;
    *groupKept = false;
    return true;
}

// Gives the new file the old one's owner, group, extended attributes (its ACL among them) and
// mode; a new file is the owner's. Access is never wider than the old file's, at no moment.
bool TakeOver(int fd, const Snapshot& snapshot, std::uint32_t owner) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return false;
    if (!snapshot.bytes) return MakeOwners(fd, now, owner, snapshot.st.st_gid);
    bool groupKept = true;
    if (!KeepOwner(fd, now, snapshot.st, &groupKept)) return false;
    // An ACL's group entry speaks for the owning group: another group does not inherit it.
    ExtendedAttributes attributes = snapshot.attributes;
    if (!groupKept) std::erase_if(attributes, [](const auto& a) { return a.first == kAccessAcl; });
    // Before the mode: with an ACL the mode's group bits are its mask, which the chmod then sets
    // to the very mask the ACL brings, not to the owning group's rights.
    if (!CopyExtendedAttributes(fd, attributes)) return false;
    // After the owner: a change of owner may clear some mode bits. Another group than the old
    // file's gets no rights from it.
    mode_t mode = snapshot.st.st_mode & 07777;
    if (!groupKept) mode &= ~mode_t(S_IRWXG | S_ISGID);
    return ::fchmod(fd, mode) == 0;
}

// Whether the file is still the one read (still none, for a new one).
bool StillAsRead(int dir, const QByteArray& name, const Snapshot& snapshot) {
    struct stat now {};
    if (::fstatat(dir, name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT && !snapshot.bytes;
    return snapshot.bytes && Unchanged(now, snapshot.st);
}

// Moves the file made aside into the file's place; a new file never replaces one made meanwhile.
int MoveIntoPlace(int dir, const QByteArray& aside, const QByteArray& name, bool isNew) {
    if (isNew) {
        if (::renameat2(dir, aside.constData(), dir, name.constData(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL) return errno;  // EINVAL: a file system without that guarantee
    }
    return ::renameat(dir, aside.constData(), dir, name.constData()) == 0 ? 0 : errno;
}

// Writes bytes beside the file, then, if the file is still the one read, puts them in its place.
Step Replace(int dir, const QByteArray& name, const Snapshot& snapshot, const QByteArray& bytes,
             const UserFileEdit& request, UserFileEditResult& result) {
    const QByteArray aside = "." + name + ".tavello-" + QByteArray::number(::getpid());
    // The owner's umask decides a new file's mode; an old file's mode is copied once written.
    Fd fd(::openat(dir, aside.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   snapshot.bytes ? 0600 : 0666));
    if (fd.get() < 0) return Fail(result, UserFileStep::Writing, errno);
    const bool written = WriteAll(fd.get(), bytes) && TakeOver(fd.get(), snapshot, request.owner) &&
                         ::fsync(fd.get()) == 0 && fd.close();
    const int error = errno;
    int moved = -1;
    if (written) {
        if (request.beforeReplace) request.beforeReplace();
        if (StillAsRead(dir, name, snapshot))
            moved = MoveIntoPlace(dir, aside, name, !snapshot.bytes);
    }
    if (moved != 0) ::unlinkat(dir, aside.constData(), 0);
    if (!written) return Fail(result, UserFileStep::Writing, error);
    if (moved == EEXIST || moved < 0) return Step::Again;  // changed meanwhile
    if (moved != 0) return Fail(result, UserFileStep::Writing, moved);
    ::fsync(dir);  // the new name on disk too
    result.written = true;
    return Step::Done;
}

}  // namespace

UserFileEditResult EditUserFile(const UserFileEdit& request) {
    UserFileEditResult result;
    bool viaLink = false;
    int error = 0;
    const std::optional<QString> edited = EditedPath(request.path, &viaLink, &error);
    if (!edited) {
        Fail(result, UserFileStep::Reading, error);
        return result;
    }
    result.editedPath = *edited;
    const QFileInfo info(*edited);
    const Fd dir(
        ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        Fail(result, UserFileStep::Writing, errno);
        return result;
    }
    const QByteArray name = QFile::encodeName(info.fileName());
    for (int attempt = 0; attempt < kTries; ++attempt) {
        Snapshot snapshot;
        if (Read(dir.get(), name, request, viaLink, snapshot, result) == Step::Failed) break;
        if (!snapshot.steady) continue;
        const std::optional<QByteArray> bytes = request.edit(snapshot.bytes);
        if (!bytes) return result;
        if (Replace(dir.get(), name, snapshot, *bytes, request, result) != Step::Again)
            return result;
    }
    if (result.refusal == UserFileRefusal::None) result.refusal = UserFileRefusal::KeptChanging;
    return result;
}

std::optional<std::uint32_t> FolderOwner(const QString& folder, int* error) {
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) {
        if (error) *error = errno;
        return std::nullopt;
    }
    return st.st_uid;
}

QString UserName(std::uint32_t uid) {
    QByteArray buffer;
    const std::optional<struct passwd> entry = LookUpUser(uid, buffer);
    if (entry && entry->pw_name != nullptr) return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
}

}  // namespace tavello
