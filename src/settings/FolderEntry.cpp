#include "settings/FolderEntry.h"

#include "settings/PictureFormats.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <vector>

namespace tavello {
namespace {

struct Child {
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
std::vector<Child> SortedChildren(const QString& folder, const QCollator& collator,
                                  const ScanCancelled& cancelled) {
    std::vector<Child> children;
    // A folder of a hundred thousand files takes a while to list: cancellation is heard within.
    constexpr std::size_t kCheckEvery = 4096;
    // Without QDir::Hidden, names starting with "." are left out; without QDir::System, so are
    // FIFOs, sockets, devices and broken links.
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (std::size_t seen = 1; it.hasNext(); ++seen) {
        it.next();
        if (seen % kCheckEvery == 0 && cancelled && cancelled()) return {};
        const QFileInfo info = it.fileInfo();
        const QString name = info.fileName();
        const bool isFolder = info.isDir();
        if (!isFolder && !IsPictureFileName(name)) continue;
        children.push_back({name, isFolder, collator.sortKey(name)});
    }
    std::sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
        const int order = a.key.compare(b.key);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return children;
}

// Walks the tree depth first in display order; stops early when visit returns false.
class Walk {
  public:
    Walk(const ScanCancelled& cancelled, std::function<bool(const QString&)> visit)
        : cancelled_(cancelled), visit_(std::move(visit)), collator_(FileManagerCollator()) {}

    // false once the walk was stopped (by visit or by cancellation).
    bool Folder(const QString& path) {
        if (cancelled_ && cancelled_()) return false;
        // A link may lead back up the tree or to a folder seen already: each real folder once.
        const QString real = QFileInfo(path).canonicalFilePath();
        if (real.isEmpty() || visited_.contains(real)) return true;
        visited_.insert(real);
        for (const Child& child : SortedChildren(path, collator_, cancelled_)) {
            const QString full = (path.endsWith(u'/') ? path : path + u'/') + child.name;
            if (!(child.folder ? Folder(full) : visit_(full))) return false;
        }
        return true;
    }

  private:
    const ScanCancelled& cancelled_;
    std::function<bool(const QString&)> visit_;
    QCollator collator_;
    QSet<QString> visited_;
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
                      const ScanCancelled& cancelled) {
    Walk walk(cancelled, [&found](const QString& path) {
        found(path);
        return true;
    });
    walk.Folder(FolderOf(entry));
}

QString FirstPictureOf(const QString& entry, const ScanCancelled& cancelled,
                       const PictureUsable& usable) {
    QString first;
    Walk walk(cancelled, [&](const QString& path) {
        if (usable) {
            // Trying many broken files takes a while: cancellation is heard between them.
            if (cancelled && cancelled()) return false;
            if (!usable(path)) return true;
        }
        first = path;
        return false;
    });
    walk.Folder(FolderOf(entry));
    return first;
}

}  // namespace tavello
