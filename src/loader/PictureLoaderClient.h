#pragma once

#include "platform/OwnedFd.h"
#include "toolkit/GuiTicket.h"
#include "toolkit/PictureSource.h"

#include <QByteArray>
#include <QObject>
#include <chrono>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

namespace tavello {

// A picture asked for (done set) or prepared ahead: being opened, opened and waiting for the
// loader (file valid), with the loader, or answered.
struct PictureJob {
    quint64 id = 0;
    QString path;
    ShowFit fit;
    PictureSource::Done done;
    OwnedFd file;
    bool answered = false;
    std::optional<LoadedPicture> answer;
};

// The show's pictures, decoded by a confined loader process (a copy of this program started with
// kPictureLoaderOption): a hostile file can crash or bloat only the loader. The show opens each
// file itself, from a thread of its own since a share may hang the open, and passes it to the
// loader, whose pixels come back in a sealed memory file mapped here without a copy. A loader that
// dies or takes longer than the budget for a picture is killed: that picture cannot be shown, and
// the next is decoded by a fresh loader. Nothing here ever waits for the loader.
class PictureLoaderClient final : public PictureSource {
  public:
    // Twice what a 24-megapixel HEIC, the slowest common photo, takes on a desktop machine today,
    // so that a slower one still shows it; the limits of the decoders refuse most hostile files
    // long before this.
    static constexpr std::chrono::milliseconds kDecodeBudget{10000};

    // program: the program to start as the loader, by default this one.
    explicit PictureLoaderClient(std::chrono::milliseconds budget = kDecodeBudget,
                                 QByteArray program = {});
    ~PictureLoaderClient() override;
    PictureLoaderClient(const PictureLoaderClient&) = delete;
    PictureLoaderClient& operator=(const PictureLoaderClient&) = delete;

    void Request(const QString& path, const ShowFit& fit, Done done) override;
    void Prefetch(const QString& path, const ShowFit& fit) override;
    void Cancel() override;

    // The loader process running now; -1 when none is.
    qint64 loaderPid() const { return pid_; }
    // Whether the loader has a picture to decode and has not answered yet.
    bool decoding() const { return inFlight_ != 0; }

  private:
    std::optional<PictureJob>& NewJob(std::optional<PictureJob>& slot, const QString& path,
                                      const ShowFit& fit);
    PictureJob* Find(quint64 id);
    void Opened(quint64 id, OwnedFd file);
    void Pump();
    bool StartLoader();
    void StopLoader();
    void LoaderFailed();
    void ReadReplies();
    void Answer(quint64 id, std::optional<LoadedPicture> picture);
    void Deliver(quint64 id);

    std::chrono::milliseconds budget_;
    QByteArray program_;
    QObject context_;  // the notifier's and the timer's owner
    std::optional<PictureJob> request_;
    std::optional<PictureJob> ahead_;
    quint64 nextId_ = 1;
    quint64 inFlight_ = 0;  // the job the loader works on (maybe dropped meanwhile); 0: none
    qint64 pid_ = -1;
    bool ready_ = false;  // the loader has started and is confined
    OwnedFd socket_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* budgetTimer_ = nullptr;
    GuiTicket ticket_;
};

}  // namespace tavello
