#include "saver/ShowList.h"

#include "platform/FileNames.h"

#include <thread>
#include <utility>

namespace tavello {

void PicturePaths::append(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const QStringView folder = QStringView(path).left(slash + 1);
    // The scan gives a folder's pictures one after another, so only the last folder is compared.
    if (folders_.isEmpty() || folders_.constLast() != folder) folders_.append(folder.toString());
    folderOf_.push_back(static_cast<std::uint32_t>(folders_.size() - 1));
    names_ += EncodeFileName(QStringView(path).mid(slash + 1));
    nameEnds_.push_back(static_cast<std::uint32_t>(names_.size()));
}

QString PicturePaths::at(qsizetype index) const {
    const auto i = static_cast<std::size_t>(index);
    const std::uint32_t begin = i == 0 ? 0 : nameEnds_[i - 1];
    return folders_.at(folderOf_[i]) +
           DecodeFileName(QByteArrayView(names_.constData() + begin, nameEnds_[i] - begin));
}

std::size_t PicturePaths::bytes() const {
    std::size_t total = static_cast<std::size_t>(names_.capacity()) +
                        (folderOf_.capacity() + nameEnds_.capacity()) * sizeof(std::uint32_t);
    for (const QString& folder : folders_)
        total += sizeof(QString) + static_cast<std::size_t>(folder.capacity()) * 2;
    return total;
}

void ShowList::appendFile(const QString& path) {
    paths_.append(path);
    found_.push_back(false);
}

void ShowList::appendFound(const QString& path) {
    paths_.append(path);
    found_.push_back(true);
}

bool HasFolderEntry(const QStringList& entries) {
    for (const QString& entry : entries)
        if (IsFolderEntry(entry)) return true;
    return false;
}

ShowList ExpandEntries(const QStringList& entries, const FolderScan& scan,
                       const ScanCancelled& cancelled) {
    ShowList list;
    FoldersSeen seen;
    const auto found = [&list](const QString& path) { list.appendFound(path); };
    for (const QString& entry : entries) {
        if (cancelled && cancelled()) break;
        if (IsFolderEntry(entry))
            scan(entry, found, cancelled, seen);
        else
            list.appendFile(entry);
    }
    return list;
}

BackgroundExpansion::BackgroundExpansion(QStringList entries, FolderScan scan,
                                         std::function<void()> finished) {
    std::thread([state = state_, ticket = ticket_, entries = std::move(entries),
                 scan = std::move(scan), finished = std::move(finished)] {
        state->result = ExpandEntries(
            entries, scan, [&state] { return state->cancelled.load(std::memory_order_relaxed); });
        state->done.store(true, std::memory_order_release);
        if (finished && !state->cancelled.load(std::memory_order_relaxed)) ticket.post(finished);
    }).detach();
}

BackgroundExpansion::~BackgroundExpansion() {
    cancel();
    ticket_.revoke();
}

}  // namespace tavello
