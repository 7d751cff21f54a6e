#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

namespace tavello {

// The picture-list entries for what was dropped from a file manager, in the dropped order: a
// local folder becomes a folder entry, a local picture file its full path; anything else (other
// files, remote or non-file addresses, missing paths) is left out.
QStringList EntriesForDroppedUrls(const QList<QUrl>& urls);

}  // namespace tavello
