#include "platform/linux/ExtendedAttributes.h"

#include <sys/xattr.h>
#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cerrno>

namespace tavello {
namespace {

// Calls get(buffer, size) with a buffer as large as get(nullptr, 0) says, again when the
// attributes grew in between (ERANGE).
template <typename Get>
bool ReadSized(Get get, QByteArray& out) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) return false;
        out.resize(static_cast<qsizetype>(size));
        const ssize_t got = get(out.data(), static_cast<size_t>(size));
        if (got >= 0) {
            out.resize(static_cast<qsizetype>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

bool ReadNames(int fd, QList<QByteArray>& names) {
    QByteArray list;
    if (!ReadSized([fd](char* b, size_t n) { return ::flistxattr(fd, b, n); }, list)) {
        if (errno != ENOTSUP) return false;
        list.clear();
    }
    names = list.split('\0');
    names.removeAll(QByteArray());
    return true;
}

}  // namespace

bool ReadExtendedAttributes(int fd, ExtendedAttributes& attributes) {
    QList<QByteArray> names;
    if (!ReadNames(fd, names)) return false;
    attributes.clear();
    for (const QByteArray& name : names) {
        QByteArray value;
        const auto get = [fd, &name](char* b, size_t n) {
            return ::fgetxattr(fd, name.constData(), b, n);
        };
        if (ReadSized(get, value))
            attributes.emplace_back(name, value);
        else if (errno != ENODATA)  // removed meanwhile
            return false;
    }
    return true;
}

bool CopyExtendedAttributes(int fd, const ExtendedAttributes& attributes) {
    ExtendedAttributes now;
    if (!ReadExtendedAttributes(fd, now)) return false;
    for (const auto& attribute : now) {
        const QByteArray& name = attribute.first;
        const auto kept = [&name](const auto& a) { return a.first == name; };
        if (name.startsWith("security.") || std::any_of(attributes.begin(), attributes.end(), kept))
            continue;
        if (::fremovexattr(fd, name.constData()) != 0) return false;
    }
    for (const auto& attribute : attributes) {
        if (std::find(now.begin(), now.end(), attribute) != now.end()) continue;
        const auto& [name, value] = attribute;
        if (::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    return true;
}

}  // namespace tavello
