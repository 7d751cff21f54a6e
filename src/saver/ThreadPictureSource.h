#pragma once

#include "toolkit/GuiTicket.h"
#include "toolkit/PictureSource.h"

#include <cstdint>
#include <optional>

namespace tavello {

// What a show's picture is, decoded for its place: the header read, the picture fitted to the
// screen, and decoded straight at the size it will be shown (the empty path: the empty picture).
// Nothing when any step fails. Runs on any thread.
std::optional<LoadedPicture> DecodeForShow(const QString& path, const ShowFit& fit);

// The show's pictures decoded in this process: every request and prefetch on a detached thread of
// its own, answered through the event loop. Nothing is ever waited for: a request replaced,
// cancelled or outlived by the source finishes on its own and its picture is dropped.
class ThreadPictureSource final : public PictureSource {
  public:
    ThreadPictureSource() = default;
    ~ThreadPictureSource() override { ticket_.revoke(); }
    ThreadPictureSource(const ThreadPictureSource&) = delete;
    ThreadPictureSource& operator=(const ThreadPictureSource&) = delete;

    void Request(const QString& path, const ShowFit& fit, Done done) override;
    void Prefetch(const QString& path, const ShowFit& fit) override;
    void Cancel() override;

  private:
    // The one picture decoded ahead: being decoded until `picture` is in.
    struct Ahead {
        QString path;
        ShowFit fit;
        std::uint64_t job = 0;
        bool in = false;
        std::optional<LoadedPicture> picture;
    };

    // Starts a thread decoding path; its result comes to Finished with the job's number.
    std::uint64_t Start(const QString& path, const ShowFit& fit);
    void Finished(std::uint64_t job, std::optional<LoadedPicture> picture);
    void Answer(std::optional<LoadedPicture> picture);
    bool IsAhead(const QString& path, const ShowFit& fit) const;

    GuiTicket ticket_;
    std::uint64_t lastJob_ = 0;
    std::uint64_t awaited_ = 0;  // the job whose result answers the request; 0: none
    Done done_;                  // the unanswered request's
    std::optional<Ahead> ahead_;
};

}  // namespace tavello
