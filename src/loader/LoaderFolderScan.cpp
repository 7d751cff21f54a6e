#include "loader/LoaderFolderScan.h"

#include "loader/LoaderMain.h"
#include "loader/LoaderProtocol.h"
#include "platform/FileNames.h"
#include "platform/HelperProcess.h"
#include "platform/PassedFile.h"

#include <QScopeGuard>

namespace tavello {
namespace {

// How often a listing waiting for the loader asks whether it was cancelled.
constexpr int kCancelCheckMs = 100;

// Hands on the packets of a listing until it ends (true) or goes wrong (false).
bool TakeListing(int socket, const std::function<void(const QString&)>& found,
                 const ScanCancelled& cancelled, FoldersSeen& seen) {
    for (;;) {
        if (cancelled && cancelled()) return false;
        if (!WaitForPacket(socket, kCancelCheckMs)) continue;
        const std::optional<Packet> packet = ReceivePacket(socket);
        if (!packet) return false;
        if (const std::optional<QByteArrayList> paths = ParseFound(packet->bytes)) {
            for (const QByteArray& path : *paths) found(DecodeFileName(path));
            continue;
        }
        const std::optional<FoldersSeen> entered =
            ParseFolders(FolderMessage::Entered, packet->bytes);
        if (entered) seen.insert(entered->begin(), entered->end());
        return entered.has_value();
    }
}

void ListInLoader(const QByteArray& program, const QString& entry,
                  const std::function<void(const QString&)>& found, const ScanCancelled& cancelled,
                  FoldersSeen& seen) {
    const std::optional<HelperProcess> loader =
        StartHelperProcess(program,
                           {program, kPictureLoaderOption, QByteArray::number(kHelperSocketFd),
                            QByteArray::number(OwnProcessId()), EncodeFileName(entry)},
                           false);
    if (!loader) return;
    const auto end = qScopeGuard([&] { EndHelperProcess(loader->pid); });
    if (!SendPacket(loader->socket.get(), EncodeFolders(FolderMessage::Seen, seen))) return;
    TakeListing(loader->socket.get(), found, cancelled, seen);
}

}  // namespace

LoaderScan MakeLoaderFolderScan(QByteArray program) {
    if (program.isEmpty()) program = OwnProgram();
    return [program](const QString& entry, const std::function<void(const QString&)>& found,
                     const ScanCancelled& cancelled,
                     FoldersSeen& seen) { ListInLoader(program, entry, found, cancelled, seen); };
}

}  // namespace tavello
