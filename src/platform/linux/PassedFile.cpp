#include "platform/PassedFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavello {
namespace {

constexpr int kAllSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL;

// Room for two passed files, so that a second one is seen (and closed) rather than lost.
union ControlBuffer {
    char bytes[CMSG_SPACE(2 * sizeof(int))];
    cmsghdr align;
};

// Takes the files a packet carried: the first is kept, any others closed.
OwnedFd TakeFiles(msghdr& message) {
    OwnedFd kept;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) continue;
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof fd);
            if (!kept.valid())
                kept.reset(fd);
            else
                ::close(fd);
        }
    }
    return kept;
}

bool WriteAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t wrote = ::write(fd, data, static_cast<std::size_t>(size));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        data += wrote;
        size -= wrote;
    }
    return true;
}

}  // namespace

bool SendPacket(int socket, QByteArrayView bytes, int file) {
    iovec part{const_cast<char*>(bytes.data()), static_cast<std::size_t>(bytes.size())};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    ControlBuffer control{};
    if (file >= 0) {
        message.msg_control = control.bytes;
        message.msg_controllen = CMSG_SPACE(sizeof(int));
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(c), &file, sizeof file);
    }
    ssize_t sent;
    do sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == bytes.size();
}

std::optional<Packet> ReceivePacket(int socket, bool* wouldBlock) {
    if (wouldBlock) *wouldBlock = false;
    QByteArray bytes(kMaxPacketBytes, Qt::Uninitialized);
    iovec part{bytes.data(), static_cast<std::size_t>(bytes.size())};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    ControlBuffer control{};
    message.msg_control = control.bytes;
    message.msg_controllen = sizeof control.bytes;
    ssize_t got;
    do got = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    while (got < 0 && errno == EINTR);
    if (got < 0 && wouldBlock) *wouldBlock = errno == EAGAIN || errno == EWOULDBLOCK;
    OwnedFd file = got >= 0 ? TakeFiles(message) : OwnedFd();
    // Nothing read is the end: every packet we send has bytes.
    if (got <= 0 || (message.msg_flags & (MSG_TRUNC | MSG_CTRUNC))) return std::nullopt;
    bytes.truncate(got);
    return Packet{std::move(bytes), std::move(file)};
}

bool WaitForPacket(int socket, int timeoutMs) {
    pollfd wanted{socket, POLLIN, 0};
    return ::poll(&wanted, 1, timeoutMs) > 0;
}

OwnedFd SealedMemoryFile(const void* data, qint64 size) {
    OwnedFd file(::memfd_create("tavello-pixels", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!file.valid() || ::ftruncate(file.get(), size) != 0) return {};
    if (!WriteAll(file.get(), static_cast<const char*>(data), size)) return {};
    if (::fcntl(file.get(), F_ADD_SEALS, kAllSeals) != 0) return {};
    return file;
}

std::optional<MappedFile> MapSealedFile(int file, qint64 minSize) {
    // The seals are what keep a mapping valid: an unsealed file could be cut short under it.
    const int seals = ::fcntl(file, F_GET_SEALS);
    struct stat st {};
    if (seals < 0 || (seals & kAllSeals) != kAllSeals || ::fstat(file, &st) != 0) return {};
    if (!S_ISREG(st.st_mode) || st.st_size < minSize || st.st_size <= 0) return {};
    void* data =
        ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_SHARED, file, 0);
    if (data == MAP_FAILED) return {};
    return MappedFile{data, st.st_size};
}

void UnmapFile(const MappedFile& mapped) {
    if (mapped.data)
        ::munmap(const_cast<void*>(mapped.data), static_cast<std::size_t>(mapped.size));
}

}  // namespace tavello
