#include "loader/LoaderFolderScan.h"

#include "loader/LoaderMain.h"
#include "loader/LoaderProtocol.h"
#include "platform/FileNames.h"
#include "platform/HelperProcess.h"
#include "platform/PassedFile.h"

#include <memory>
#include <mutex>

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
        if (const auto paths = ParsePaths(FolderMessage::Found, packet->bytes)) {
            for (const QByteArray& path : *paths) found(DecodeFileName(path));
            continue;
        }
        const std::optional<FoldersSeen> entered =
            ParseFolders(FolderMessage::Entered, packet->bytes);
        if (entered) seen.insert(entered->begin(), entered->end());
        return entered.has_value();
    }
}

// One listing loader for all the entries of a show's list, started at the first and ended with
// the scan: each entry costs a request, not a process. A listing cancelled or gone wrong ends it,
// and the next entry starts a fresh one.
class ListingSession {
  public:
    explicit ListingSession(QByteArray program) : program_(std::move(program)) {}
    ~ListingSession() { End(); }
    ListingSession(const ListingSession&) = delete;
    ListingSession& operator=(const ListingSession&) = delete;

    void List(const QString& entry, const std::function<void(const QString&)>& found,
              const ScanCancelled& cancelled, FoldersSeen& seen) {
        const std::lock_guard lock(mutex_);
        if (!loader_) Start();
        if (!loader_) return;
        const int socket = loader_->socket.get();
        const bool listed =
            SendPacket(socket, EncodePaths(FolderMessage::List, {EncodeFileName(entry)})) &&
            SendPacket(socket, EncodeFolders(FolderMessage::Seen, seen)) &&
            TakeListing(socket, found, cancelled, seen);
        if (!listed) End();
    }

  private:
    void Start() {
        loader_ =
            StartHelperProcess(program_,
                               {program_, kPictureLoaderOption, QByteArray::number(kHelperSocketFd),
                                QByteArray::number(OwnProcessId()), kListFoldersOption},
                               false);
    }
    void End() {
        if (loader_) EndHelperProcess(loader_->pid);
        loader_.reset();
    }

    QByteArray program_;
    std::mutex mutex_;
    std::optional<HelperProcess> loader_;
};

}  // namespace

LoaderScan MakeLoaderFolderScan(QByteArray program) {
    if (program.isEmpty()) program = OwnProgram();
    auto session = std::make_shared<ListingSession>(std::move(program));
    return [session](const QString& entry, const std::function<void(const QString&)>& found,
                     const ScanCancelled& cancelled,
                     FoldersSeen& seen) { session->List(entry, found, cancelled, seen); };
}

}  // namespace tavello
