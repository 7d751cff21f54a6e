#include "platform/AtomicFile.h"

#include <QSaveFile>

namespace tavello {

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         std::optional<QFileDevice::Permissions> permissions) {
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s result: a buffered QSaveFile can
    // report a truncated file as committed.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok && permissions) ok = file.setPermissions(*permissions);
    if (ok) ok = file.write(bytes) == bytes.size();
    if (ok) ok = file.commit();
    if (!ok && error) *error = file.errorString();
    return ok;  // on failure QSaveFile discards its temporary file
}

}  // namespace tavello
