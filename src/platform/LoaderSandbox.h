#pragma once

// The confinement of a helper process that reads files from outside (pictures, folders): whatever
// a hostile file makes its reader do, the helper can reach nothing but what it was handed.

#include <QtGlobal>

namespace tavello {

// Has this process killed when its parent ends. false when the parent (parentPid) is already
// gone, and this process should end.
bool TieToParent(qint64 parentPid);

// Confines this process for good: no new privileges, bounded memory and processor time, no core
// file, no file's contents read through the file system (only the files handed to it), folders
// listed only when listsFolders, and only the system calls reading, decoding, listing and
// answering on a socket need (any other kills the process). Where the system lacks file-system
// confinement, one line says so and the rest still holds. false when the system calls could not
// be confined: the process must not go on.
bool ConfineLoader(bool listsFolders);

}  // namespace tavello
