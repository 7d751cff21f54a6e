#include "loader/LoaderMain.h"

#include "loader/LoaderDecode.h"
#include "loader/LoaderProtocol.h"
#include "platform/FileNames.h"
#include "platform/LoaderSandbox.h"
#include "platform/PassedFile.h"

#include <cstdlib>

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

int ServeListing(int socket, const QString& entry) {
    const std::optional<Packet> packet = ReceivePacket(socket);
    if (!packet) return 1;
    std::optional<FoldersSeen> seen = ParseFolders(FolderMessage::Seen, packet->bytes);
    if (!seen) return 1;
    const FoldersSeen before = *seen;
    QByteArrayList batch;
    qsizetype batchBytes = 0;
    bool sent = true;
    const auto flush = [&] {
        sent = sent && SendPacket(socket, EncodeFound(batch));
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
    return sent && SendPacket(socket, EncodeFolders(FolderMessage::Entered, entered)) ? 0 : 1;
}

}  // namespace

int RunPictureLoader(int argc, char** argv) {
    if (argc < 4 || argc > 5) return 2;
    const int socket = std::atoi(argv[2]);
    if (!TieToParent(std::atoll(argv[3]))) return 1;
    const QByteArray folder = argc == 5 ? QByteArray(argv[4]) : QByteArray();
    // Nothing is read from disk once confined: every decoder is loaded before.
    if (folder.isEmpty()) LoadDecoders();
    if (!ConfineLoader(folder)) return 1;
    if (folder.isEmpty()) return ServeDecoding(socket);
    return ServeListing(socket, DecodeFileName(folder));
}

}  // namespace tavello
