#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

namespace tavello {

// Replaces the file at path with bytes, all or nothing: a crash or a failed write (full disk,
// size limit) leaves the previous file as it was. On failure returns false and, when error is
// given, a description of what went wrong. permissions, when given, are set before the new file
// takes the old one's place, so it is never visible with wider rights.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         std::optional<QFileDevice::Permissions> permissions = std::nullopt);

}  // namespace tavello
