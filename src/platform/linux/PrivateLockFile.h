#pragma once

#include <QString>
#include <vector>

namespace tavello {

// A folder that may hold a lock file. Only a real folder (not a symbolic link) owned by this user
// that nobody else may enter is used, so that another local user can neither hold nor plant our
// lock, nor point us at a file of theirs.
struct LockFolder {
    QString path;
    bool create = false;  // made with mode 0700 when missing
};

// Where this user's locks are kept, in order: the user's runtime folder (UserRuntimeFolder),
// /tmp/tavello-<uid>, then ~/.cache/tavello with the home from the user database.
std::vector<LockFolder> UserLockFolders();

// Opens the lock file fileName in folder, made with mode 0600 when missing, without following a
// symbolic link, and only when the folder is private as above and the file is a regular file of
// this user that nobody else may write. The descriptor (closed on exec), or -1 when the place is
// not safe to use. The caller locks it with flock(); the kernel drops the lock when the process
// ends, so a lock file left behind by a crash never blocks anyone.
int OpenPrivateLockFile(const LockFolder& folder, const QString& fileName);

}  // namespace tavello
