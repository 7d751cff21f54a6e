#pragma once

#include "platform/OwnedFd.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>

namespace tavello {

// Opens path for reading only when it names a regular file (symbolic links followed). A FIFO, a
// device, a socket or a folder is refused without ever blocking, so no stray path given as a
// picture, the music or a settings file can freeze the program. Returns nullptr when refused or
// unreadable.
std::unique_ptr<QFile> OpenRegularFile(const QString& path);
// The same, as a descriptor open for reading (blocking, closed on exec); invalid when refused.
OwnedFd OpenRegularFd(const QString& path);

// The whole content of a regular file, read by the file's own size and never more than maxBytes.
// cut, when given, tells whether the file was longer than maxBytes. nullopt when the path is not
// a readable regular file.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes,
                                          bool* cut = nullptr);

}  // namespace tavello
