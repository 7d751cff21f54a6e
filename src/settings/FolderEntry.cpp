#include "settings/FolderEntry.h"

#include "settings/PictureFormats.h"

#include <QCollator>
#include <QDir>
#include <algorithm>
#include <vector>

namespace tavello {
namespace {

struct Child {
    QByteArray raw;  // the name as on disk, to open the folder by
    QString name;
    bool folder = false;
    QCollatorSortKey key;
};

// The program's own language rather than the process's locale: under the C locale the collator
// compares code points, with no natural numbers and no folding of case.
QCollator FileManagerCollator() {
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

// One folder's pictures and subfolders, sorted. Sort keys are made once per name, since a
// comparison through the collator costs far more than one of two keys.
std::vector<Child> SortedChildren(const OpenFolder& folder, const QCollator& collator,
                                  const ScanCancelled& cancelled) {
    std::vector<Child> children;
    for (FolderItem& item : folder.Items(IsPictureFileName, cancelled)) {
        QCollatorSortKey key = collator.sortKey(item.text);
        children.push_back({std::move(item.name), std::move(item.text), item.folder, key});
    }
    std::sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
        const int order = a.key.compare(b.key);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return children;
}

// Walks the tree depth first in display order, without recursion, since a chain of folders may
// be tens of thousands deep. Each real folder is entered once, known by its device and inode: a
// link may lead back up the tree or to a folder seen already.
class Walk {
  public:
    Walk(const ScanCancelled& cancelled, std::function<bool(const QString&)> visit,
         FoldersSeen& seen)
        : cancelled_(cancelled),
          visit_(std::move(visit)),
          seen_(seen),
          collator_(FileManagerCollator()) {}

    // false once the walk was stopped (by visit or by cancellation).
    bool Tree(const QString& root) {
        if (cancelled_ && cancelled_()) return false;
        path_ = root.endsWith(u'/') ? root : root + u'/';
        Enter(OpenFolder(root), {}, {});
        while (!levels_.empty()) {
            Level& top = levels_.back();
            if (top.next == top.children.size()) {
                path_.truncate(top.parentPathLength);
                levels_.pop_back();
                continue;
            }
            const Child& child = top.children[top.next++];
            if (!child.folder) {
                if (!visit_(path_ + child.name)) return false;
                continue;
            }
            if (cancelled_ && cancelled_()) return false;
            Enter(OpenChild(child.raw), child.raw, child.name);
        }
        return true;
    }

  private:
    struct Level {
        QByteArray raw;
        OpenFolder folder;  // closed while a subfolder is read, but on every kKeptOpen-th level
        std::vector<Child> children;
        std::size_t next = 0;
        qsizetype parentPathLength = 0;
    };
    // Descriptors kept along the way down, so that going back up never names a long path.
    static constexpr std::size_t kKeptOpen = 64;

    // Copies of the name, since they may live in levels_.
    void Enter(OpenFolder folder, QByteArray raw, QString name) {
        if (!folder.isOpen() || !seen_.insert(folder.id()).second) return;
        std::vector<Child> children = SortedChildren(folder, collator_, cancelled_);
        if (!levels_.empty() && (levels_.size() - 1) % kKeptOpen != 0)
            levels_.back().folder.close();
        const qsizetype parentPathLength = path_.size();
        if (!levels_.empty()) path_ += name + u'/';
        levels_.push_back(
            {std::move(raw), std::move(folder), std::move(children), 0, parentPathLength});
    }

    // The subfolder name of the deepest level, reached from the nearest level still open.
    OpenFolder OpenChild(const QByteArray& name) {
        Level& top = levels_.back();
        if (!top.folder.isOpen()) {
            std::size_t open = levels_.size() - 1;
            while (open > 0 && !levels_[open].folder.isOpen()) --open;
            QByteArray relative;
            for (std::size_t i = open + 1; i < levels_.size(); ++i)
                relative += (relative.isEmpty() ? "" : "/") + levels_[i].raw;
            top.folder = levels_[open].folder.Below(relative);
        }
        return top.folder.Below(name);
    }

    const ScanCancelled& cancelled_;
    std::function<bool(const QString&)> visit_;
    FoldersSeen& seen_;
    QCollator collator_;
    std::vector<Level> levels_;
    QString path_;  // the deepest level's, ending in "/"
};

QString FolderOf(const QString& entry) {
    QString folder = entry;
    while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    return folder;
}

}  // namespace

bool IsFolderEntry(const QString& entry) {
    return entry.endsWith(u'/');
}

QString FolderEntryFor(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return clean.endsWith(u'/') ? clean : clean + u'/';
}

QStringList ScanFolderEntry(const QString& entry, const ScanCancelled& cancelled) {
    QStringList pictures;
    VisitFolderEntry(
        entry, [&pictures](const QString& path) { pictures.append(path); }, cancelled);
    return pictures;
}

void VisitFolderEntry(const QString& entry, const std::function<void(const QString&)>& found,
                      const ScanCancelled& cancelled, FoldersSeen* seen) {
    FoldersSeen own;
    Walk walk(
        cancelled,
        [&found](const QString& path) {
            found(path);
            return true;
        },
        seen ? *seen : own);
    walk.Tree(FolderOf(entry));
}

QString FirstPictureOf(const QString& entry, const ScanCancelled& cancelled,
                       const PictureUsable& usable) {
    QString first;
    FoldersSeen seen;
    Walk walk(
        cancelled,
        [&](const QString& path) {
            if (usable) {
                // Trying many broken files takes a while: cancellation is heard between them.
                if (cancelled && cancelled()) return false;
                if (!usable(path)) return true;
            }
            first = path;
            return false;
        },
        seen);
    walk.Tree(FolderOf(entry));
    return first;
}

}  // namespace tavello
