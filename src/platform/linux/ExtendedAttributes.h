#pragma once

#include <QByteArray>
#include <utility>
#include <vector>

namespace tavello {

// A file's extended attributes, its POSIX ACL among them: name, value.
using ExtendedAttributes = std::vector<std::pair<QByteArray, QByteArray>>;

// The attribute that holds a file's POSIX access ACL.
inline constexpr char kAccessAcl[] = "system.posix_acl_access";

// The open file's extended attributes; none on a file system without them. false, with errno
// set, when they cannot be read.
bool ReadExtendedAttributes(int fd, ExtendedAttributes& attributes);

// Gives the open file exactly the attributes given: each is set (one it has already with the same
// value is left alone), and one it has beyond them is removed, but for the security module's
// labels, which the system gives every new file itself. false, with errno set, on a failure.
bool CopyExtendedAttributes(int fd, const ExtendedAttributes& attributes);

}  // namespace tavello
