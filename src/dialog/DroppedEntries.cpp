#include "dialog/DroppedEntries.h"

#include "settings/FolderEntry.h"
#include "settings/PictureFormats.h"

#include <QDir>
#include <QFileInfo>

namespace tavello {

QStringList EntriesForDroppedUrls(const QList<QUrl>& urls) {
    QStringList entries;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isDir())
            entries << FolderEntryFor(info.absoluteFilePath());
        else if (info.isFile() && IsPictureFileName(info.fileName()))
            entries << QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath()));
    }
    return entries;
}

}  // namespace tavello
