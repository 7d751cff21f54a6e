#pragma once

#include "settings/FolderEntry.h"
#include "toolkit/GuiTicket.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tavello {

// Full paths kept compactly: each folder once, each file name's bytes in one block (a name that
// is not UTF-8 comes back as it was found, see DecodeFileName). A library of
// 100,000 pictures costs a few megabytes here instead of tens as a list of strings.
class PicturePaths {
  public:
    void append(const QString& path);
    qsizetype size() const { return static_cast<qsizetype>(nameEnds_.size()); }
    QString at(qsizetype index) const;
    // The memory the paths hold, in bytes.
    std::size_t bytes() const;

  private:
    QStringList folders_;  // each with its trailing "/"
    std::vector<std::uint32_t> folderOf_;
    std::vector<std::uint32_t> nameEnds_;
    QByteArray names_;
};

// What the show draws from when its list names folders: every entry in list order, a folder entry
// replaced by the pictures below it. A folder reached by several entries (or lying inside an
// earlier entry's folder) is listed once, where it is first reached, so repeated entries cost
// nothing more. A picture found in a folder may be passed over when it cannot
// be shown; a file named in the list may not.
class ShowList {
  public:
    void appendFile(const QString& path);
    void appendFound(const QString& path);
    qsizetype size() const { return paths_.size(); }
    QString path(qsizetype index) const { return paths_.at(index); }
    bool foundInFolder(qsizetype index) const { return found_[static_cast<std::size_t>(index)]; }
    std::size_t bytes() const { return paths_.bytes() + found_.size() / 8; }

  private:
    PicturePaths paths_;
    std::vector<bool> found_;
};

// Calls found for every picture a folder entry stands for, until cancelled, passing over the
// folders in seen and adding those it enters.
using FolderScan =
    std::function<void(const QString& entry, const std::function<void(const QString&)>& found,
                       const ScanCancelled& cancelled, FoldersSeen& seen)>;

// Whether any entry names a folder: only then does the show draw from an expanded list.
bool HasFolderEntry(const QStringList& entries);

ShowList ExpandEntries(const QStringList& entries, const FolderScan& scan,
                       const ScanCancelled& cancelled = {});

// ExpandEntries on a thread of its own, so the show keeps painting and answering input while a
// large library is listed. Destroying it cancels the scan and leaves the thread to end by itself
// at the scan's next check: a scan stuck on a share that no longer answers holds nothing up. The
// thread owns a share of the list and the flags, so it never touches a destroyed expansion.
class BackgroundExpansion {
  public:
    // finished runs on the GUI thread once the list is complete (to wake the show), unless the
    // expansion was cancelled or destroyed meanwhile. Made and destroyed on the GUI thread.
    BackgroundExpansion(QStringList entries, FolderScan scan, std::function<void()> finished);
    ~BackgroundExpansion();
    BackgroundExpansion(const BackgroundExpansion&) = delete;
    BackgroundExpansion& operator=(const BackgroundExpansion&) = delete;

    bool done() const { return state_->done.load(std::memory_order_acquire); }
    // The complete list; only once done() is true, and only once.
    ShowList take() { return std::move(state_->result); }
    void cancel() { state_->cancelled.store(true, std::memory_order_relaxed); }

  private:
    struct State {
        std::atomic<bool> cancelled{false};
        std::atomic<bool> done{false};
        ShowList result;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
    GuiTicket ticket_;
};

}  // namespace tavello
