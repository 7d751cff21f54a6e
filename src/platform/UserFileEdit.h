#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace tavello {

// Why an edit of a user's file did not happen.
enum class UserFileRefusal {
    None,
    SystemError,    // error holds the system's code; step says what was being done
    NotRegular,     // a folder, a device, a FIFO... stands in the file's place
    NotOwnersFile,  // the file, or the target of its link, belongs to someone else
    TooLarge,       // longer than maxBytes
    KeptChanging,   // another program changed it on every try
};

enum class UserFileStep { Reading, Writing };

struct UserFileEditResult {
    UserFileRefusal refusal = UserFileRefusal::None;
    UserFileStep step = UserFileStep::Reading;
    int error = 0;       // for SystemError
    QString editedPath;  // the file really read and replaced: a link's target, else the path
    bool written = false;
};

struct UserFileEdit {
    QString path;             // the file; a symbolic link stays a link and its target changes
    std::uint32_t owner = 0;  // the user whose file it must be: the owner of the home it lies in
    qint64 maxBytes = 0;
    // Given the current content (nullopt when there is no file yet), the new content, or nullopt
    // to leave the file as it is. Called again when the file changed meanwhile.
    std::function<std::optional<QByteArray>(const std::optional<QByteArray>&)> edit;
    // Called when the new content is ready aside, just before it takes the file's place.
    std::function<void()> beforeReplace;
};

// Edits a file of a user's home on that user's behalf, safely also when run as root with HOME at
// someone else's home: only a regular file of the owner is read and replaced, never through a link
// to anyone else's file; the new file keeps the old one's owner, group, extended attributes (its
// ACL among them) and mode (a new file is the owner's) before it takes the old one's place
// atomically, never giving anyone wider access, also for a moment; a group the user cannot give
// (one they are not in) gives way to theirs, without the old group's rights; and a file that
// another program changed while it was edited is read and edited again (a few times), never
// overwritten.
UserFileEditResult EditUserFile(const UserFileEdit& request);

// The owner of a folder (links followed); nullopt, with the system's error code, when unseen.
std::optional<std::uint32_t> FolderOwner(const QString& folder, int* error);

// A user's login name, or the number when the user database does not know it.
QString UserName(std::uint32_t uid);

}  // namespace tavello
