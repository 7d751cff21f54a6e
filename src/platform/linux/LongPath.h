#pragma once

#include <QByteArray>

namespace tavello {

// openat(at, path, flags) for a path of any length: a path longer than the system takes at once
// is opened folder by folder, a piece at a time. -1 (errno set) when it cannot be opened.
int OpenLongPath(int at, const QByteArray& path, int flags);

}  // namespace tavello
