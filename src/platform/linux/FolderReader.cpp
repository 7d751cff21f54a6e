#include "platform/FolderReader.h"

#include "platform/FileNames.h"
#include "platform/linux/LongPath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tavello {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

// Whether the entry is a folder, a regular file or neither, following links.
enum class Kind { Folder, File, Other };

Kind KindOf(int folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) return Kind::Folder;
    if (entry.d_type == DT_REG) return Kind::File;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return Kind::Other;
    struct stat st {};
    if (::fstatat(folder, entry.d_name, &st, 0) != 0) return Kind::Other;
    if (S_ISDIR(st.st_mode)) return Kind::Folder;
    return S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
}

}  // namespace

OpenFolder::OpenFolder(const QString& path)
    : OpenFolder(OpenLongPath(AT_FDCWD, EncodeFileName(path), kFolderFlags)) {}

OpenFolder::OpenFolder(int fd) : fd_(fd) {
    struct stat st {};
    if (fd_ >= 0 && ::fstat(fd_, &st) != 0) close();
    if (fd_ >= 0) id_ = {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)};
}

OpenFolder OpenFolder::Below(const QByteArray& relative) const {
    return OpenFolder(fd_ < 0 ? -1 : OpenLongPath(fd_, relative, kFolderFlags));
}

OpenFolder::~OpenFolder() {
    close();
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), id_(other.id_) {}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        id_ = other.id_;
    }
    return *this;
}

void OpenFolder::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::vector<FolderItem> OpenFolder::Items(const std::function<bool(const QString&)>& keepFile,
                                          const std::function<bool()>& stop) const {
    std::vector<FolderItem> items;
    // The listing gets a descriptor of its own, so this one stays usable for opening below.
    const int own = fd_ < 0 ? -1 : ::openat(fd_, ".", kFolderFlags);
    DIR* dir = own < 0 ? nullptr : ::fdopendir(own);
    if (!dir) {
        if (own >= 0) ::close(own);
        return items;
    }
    // A folder of a hundred thousand files takes a while to list: stop is heard within.
    constexpr std::size_t kCheckEvery = 4096;
    std::size_t seen = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (++seen % kCheckEvery == 0 && stop && stop()) {
            items.clear();
            break;
        }
        if (entry->d_name[0] == '.') continue;
        const Kind kind = KindOf(::dirfd(dir), *entry);
        if (kind == Kind::Other) continue;
        QByteArray name(entry->d_name);
        QString text = DecodeFileName(name);
        if (kind == Kind::File && keepFile && !keepFile(text)) continue;
        items.push_back({std::move(name), std::move(text), kind == Kind::Folder});
    }
    ::closedir(dir);
    return items;
}

}  // namespace tavello
