#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace tavello {

// What tells one real folder from another, whatever path or link leads to it.
struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FolderId&, const FolderId&) = default;
};

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const {
        return std::hash<std::uint64_t>()(id.inode * 31 + id.device);
    }
};

// An entry of a folder as read: its name as the bytes on disk and as text (DecodeFileName).
struct FolderItem {
    QByteArray name;
    QString text;
    bool folder = false;
};

// A folder open for reading, closed when destroyed. It is reached from a folder already open, so a
// chain of folders of any depth is read without ever naming a path longer than the system takes.
class OpenFolder {
  public:
    OpenFolder() = default;
    // The folder at an absolute path (symbolic links followed).
    explicit OpenFolder(const QString& path);
    // The folder at a path relative to this one ("a/b/c"), of any length.
    OpenFolder Below(const QByteArray& relative) const;
    ~OpenFolder();
    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    FolderId id() const { return id_; }
    void close();

    // The folders inside, and the regular files whose names keepFile accepts; links followed,
    // names starting with "." left out, as are FIFOs, devices, sockets and broken links. Empty when
    // the folder cannot be read or stop() answers true (asked every few thousand entries).
    std::vector<FolderItem> Items(const std::function<bool(const QString&)>& keepFile,
                                  const std::function<bool()>& stop) const;

  private:
    explicit OpenFolder(int fd);
    int fd_ = -1;
    FolderId id_;
};

}  // namespace tavello
