#include "saver/ThreadPictureSource.h"

#include "loader/LoaderDecode.h"
#include "platform/RegularFile.h"

#include <thread>

namespace tavello {

std::optional<LoadedPicture> DecodeForShow(const QString& path, const ShowFit& fit) {
    if (path.isEmpty()) return LoadPicture(path);
    const OwnedFd file = OpenRegularFd(path);
    if (!file.valid()) return std::nullopt;
    return DecodeForShow(file.get(), fit);
}

void ThreadPictureSource::Request(const QString& path, const ShowFit& fit, Done done) {
    done_ = std::move(done);
    if (!IsAhead(path, fit)) {
        awaited_ = Start(path, fit);
        return;
    }
    awaited_ = ahead_->job;
    // Already in: answered at the event loop's next turn all the same, never from in here.
    if (ahead_->in) {
        Ahead ready = std::move(*ahead_);
        ahead_.reset();
        ticket_.post([this, job = ready.job, picture = std::move(ready.picture)]() mutable {
            Finished(job, std::move(picture));
        });
    }
}

void ThreadPictureSource::Prefetch(const QString& path, const ShowFit& fit) {
    if (IsAhead(path, fit) || path.isEmpty()) return;
    ahead_ = Ahead{path, fit, Start(path, fit), false, std::nullopt};
}

void ThreadPictureSource::Cancel() {
    // The threads still running keep the old ticket, now revoked: their results are dropped.
    ticket_.revoke();
    ticket_ = GuiTicket();
    awaited_ = 0;
    done_ = nullptr;
    ahead_.reset();
}

std::uint64_t ThreadPictureSource::Start(const QString& path, const ShowFit& fit) {
    const std::uint64_t job = ++lastJob_;
    std::thread([ticket = ticket_, this, job, path, fit] {
        std::optional<LoadedPicture> picture = DecodeForShow(path, fit);
        // `this` is reached only through the ticket, on the GUI thread, while it is alive.
        ticket.post([this, job, picture = std::move(picture)]() mutable {
            Finished(job, std::move(picture));
        });
    }).detach();
    return job;
}

void ThreadPictureSource::Finished(std::uint64_t job, std::optional<LoadedPicture> picture) {
    if (job == awaited_) {
        if (ahead_ && ahead_->job == job) ahead_.reset();
        return Answer(std::move(picture));
    }
    if (ahead_ && ahead_->job == job) {
        ahead_->in = true;
        ahead_->picture = std::move(picture);
    }
    // Anything else was replaced meanwhile.
}

void ThreadPictureSource::Answer(std::optional<LoadedPicture> picture) {
    awaited_ = 0;
    // Taken out first: the answer may ask for the next picture.
    Done done = std::move(done_);
    done_ = nullptr;
    if (done) done(std::move(picture));
}

bool ThreadPictureSource::IsAhead(const QString& path, const ShowFit& fit) const {
    return ahead_ && ahead_->path == path && ahead_->fit.picSize == fit.picSize &&
           ahead_->fit.screenW == fit.screenW && ahead_->fit.screenH == fit.screenH &&
           ahead_->fit.scale == fit.scale;
}

}  // namespace tavello
