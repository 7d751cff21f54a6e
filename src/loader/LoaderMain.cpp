#include "loader/LoaderMain.h"

#include "loader/LoaderDecode.h"
#include "loader/LoaderProtocol.h"
#include "platform/FileNames.h"
#include "platform/LoaderSandbox.h"
#include "platform/PassedFile.h"

#include <cstdlib>
#include <cstring>

namespace tavello {
namespace {

// The paths found go out in packets of about this many bytes.
constexpr qsizetype kFoundBatchBytes = 32 * 1024;

// Answers with the picture's pixels in a sealed memory file, or that it cannot be shown.
bool SendPicture(int socket, quint64 id, const std::optional<LoadedPicture>& picture) {
    PictureReply reply{id, false, {}, {}, 0, 0};
    if (!picture) return SendPacket(socket, EncodeReply(reply));
    const QImage image = WithoutColourTable(picture->image);
    const OwnedFd pixels = SealedMemoryFile(image.constBits(), image.sizeInBytes());
    if (image.isNull() || !pixels.valid()) return SendPacket(socket, EncodeReply(reply));
    reply = {id, true, picture->ownSize, image.size(), image.format(), image.bytesPerLine()};
    return SendPacket(socket, EncodeReply(reply), pixels.get());
}

int ServeDecoding(int socket) {
    // Ready: the time a picture takes is counted from here, without the start's.
    if (!SendPicture(socket, 0, std::nullopt)) return 1;
    while (const std::optional<Packet> packet = ReceivePacket(socket)) {
        const std::optional<DecodeRequest> request = ParseRequest(packet->bytes);
        if (!request) return 1;
        std::optional<LoadedPicture> picture;
        if (packet->file.valid()) picture = DecodeForShow(packet->file.get(), request->fit);
        if (!SendPicture(socket, request->id, picture)) return 1;
    }
    return 0;
}

// Lists one folder entry: the folders already listed come first, then the paths found in
// packets, then the folders entered. false when the show is gone or a packet makes no sense.
bool ListEntry(int socket, const QString& entry) {
    const std::optional<Packet> packet = ReceivePacket(socket);
    if (!packet) return false;
    std::optional<FoldersSeen> seen = ParseFolders(FolderMessage::Seen, packet->bytes);
    if (!seen) return false;
    const FoldersSeen before = *seen;
    QByteArrayList batch;
    qsizetype batchBytes = 0;
    bool sent = true;
    const auto flush = [&] {
        sent = sent && SendPacket(socket, EncodePaths(FolderMessage::Found, batch));
        batch.clear();
        batchBytes = 0;
    };
    VisitFolderEntry(
        entry,
        [&](const QString& path) {
            batch.append(EncodeFileName(path));
            batchBytes += batch.constLast().size() + 4;
            if (batchBytes >= kFoundBatchBytes) flush();
        },
        [&] { return !sent; }, &*seen);
    if (!batch.isEmpty()) flush();
    FoldersSeen entered;
    for (const FolderId& folder : *seen)
        if (!before.contains(folder)) entered.insert(folder);
    return sent && SendPacket(socket, EncodeFolders(FolderMessage::Entered, entered));
}

// Lists the folder entries the show sends, one after the other, until it closes the socket.
int ServeListing(int socket) {
    while (const std::optional<Packet> packet = ReceivePacket(socket)) {
        const std::optional<QByteArrayList> entry = ParsePaths(FolderMessage::List, packet->bytes);
        if (!entry || entry->size() != 1 || !ListEntry(socket, DecodeFileName(entry->first())))
            return 1;
    }
    return 0;
}

}  // namespace

int RunPictureLoader(int argc, char** argv) {
    if (argc < 4 || argc > 5) return 2;
    const int socket = std::atoi(argv[2]);
    if (!TieToParent(std::atoll(argv[3]))) return 1;
    const bool lists = argc == 5 && std::strcmp(argv[4], kListFoldersOption) == 0;
    if (argc == 5 && !lists) return 2;
    // Nothing is read from disk once confined: every decoder is loaded before.
    if (!lists) LoadDecoders();
    if (!ConfineLoader(lists)) return 1;
    return lists ? ServeListing(socket) : ServeDecoding(socket);
}

}  // namespace tavello
