#pragma once

// Messages between the show and its helper processes: packets on a local socket, each carrying at
// most one open file along, and pixels handed over in sealed memory files that neither side can
// change, shrink or grow once passed.

#include "platform/OwnedFd.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace tavello {

// One packet as received, with the file passed along (invalid when none was).
struct Packet {
    QByteArray bytes;
    OwnedFd file;
};

// The largest packet either side sends or takes.
inline constexpr qsizetype kMaxPacketBytes = 64 * 1024;

// Sends bytes, and the file when file >= 0, as one packet. false when the peer is gone (no signal
// is raised) or the packet cannot be sent.
bool SendPacket(int socket, QByteArrayView bytes, int file = -1);

// Receives one packet (blocking as the socket does). nullopt at the end (the peer is gone) or on
// an error; wouldBlock, when given, tells a non-blocking socket that merely had nothing to read.
// A second file passed along is closed.
std::optional<Packet> ReceivePacket(int socket, bool* wouldBlock = nullptr);

// Waits up to timeoutMs for a packet (or the end) to read on socket; false when none came.
bool WaitForPacket(int socket, int timeoutMs);

// A memory file holding size bytes from data, sealed against writing, shrinking and growing.
// Invalid when it cannot be made.
OwnedFd SealedMemoryFile(const void* data, qint64 size);

// A sealed memory file mapped read-only, unmapped by UnmapFile.
struct MappedFile {
    const void* data = nullptr;
    qint64 size = 0;
};

// Maps file read-only when it is a memory file sealed against writing, shrinking and growing, and
// at least minSize bytes long: then no other process can make reading it fail.
std::optional<MappedFile> MapSealedFile(int file, qint64 minSize);
void UnmapFile(const MappedFile& mapped);

}  // namespace tavello
