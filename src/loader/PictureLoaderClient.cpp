#include "loader/PictureLoaderClient.h"

#include "loader/LoaderMain.h"
#include "loader/LoaderProtocol.h"
#include "platform/HelperProcess.h"
#include "platform/PassedFile.h"
#include "platform/RegularFile.h"

#include <QSocketNotifier>
#include <QTimer>
#include <thread>

namespace tavello {
namespace {

constexpr qint64 kMaxPixelBytes = qint64(kMaxDecodeMegabytes) * 1024 * 1024;

bool SameFit(const ShowFit& a, const ShowFit& b) {
    return a.picSize == b.picSize && a.screenW == b.screenW && a.screenH == b.screenH &&
           a.scale == b.scale;
}

// The bytes a row of width pixels takes in format at the least; 0 for a format the show does
// not take from the loader (none, or one with a colour table).
qint64 RowBytes(qint32 format, qint32 width) {
    if (format <= QImage::Format_Indexed8 || format >= QImage::NImageFormats) return 0;
    const int bits = QImage::toPixelFormat(QImage::Format(format)).bitsPerPixel();
    return (qint64(width) * bits + 7) / 8;
}

void Unmap(void* mapped) {
    const std::unique_ptr<MappedFile> file(static_cast<MappedFile*>(mapped));
    UnmapFile(*file);
}

// The picture a reply describes, its pixels mapped from file; nothing when the reply does not
// add up, whatever the loader claims.
std::optional<LoadedPicture> PictureFromReply(const PictureReply& reply, const OwnedFd& file) {
    const QSize size = reply.size;
    // Never larger than the picture itself, nor than a decoder may make.
    if (!reply.ok || !file.valid() || reply.ownSize.isEmpty() || size.isEmpty() ||
        size.width() > reply.ownSize.width() || size.height() > reply.ownSize.height())
        return std::nullopt;
    const qint64 minStride = RowBytes(reply.format, size.width());
    if (minStride == 0 || reply.stride < minStride || reply.stride % 4 != 0 ||
        reply.stride > minStride + 64 || reply.stride * size.height() > kMaxPixelBytes)
        return std::nullopt;
    const std::optional<MappedFile> mapped =
        MapSealedFile(file.get(), reply.stride * size.height());
    if (!mapped) return std::nullopt;
    auto* owned = new MappedFile(*mapped);
    QImage image(static_cast<const uchar*>(mapped->data), size.width(), size.height(),
                 static_cast<qsizetype>(reply.stride), QImage::Format(reply.format), Unmap, owned);
    if (image.isNull()) {
        Unmap(owned);
        return std::nullopt;
    }
    return LoadedPicture{std::move(image), reply.ownSize, false};
}

}  // namespace

PictureLoaderClient::PictureLoaderClient(std::chrono::milliseconds budget, QByteArray program)
    : budget_(budget), program_(program.isEmpty() ? OwnProgram() : std::move(program)) {
    budgetTimer_ = new QTimer(&context_);
    budgetTimer_->setSingleShot(true);
    QObject::connect(budgetTimer_, &QTimer::timeout, &context_, [this] { LoaderFailed(); });
    // Ready before the first picture is asked for.
    StartLoader();
}

PictureLoaderClient::~PictureLoaderClient() {
    ticket_.revoke();
    StopLoader();
}

std::optional<PictureJob>& PictureLoaderClient::NewJob(std::optional<PictureJob>& slot,
                                                       const QString& path, const ShowFit& fit) {
    slot.emplace();
    slot->id = nextId_++;
    slot->path = path;
    slot->fit = fit;
    if (path.isEmpty()) {
        slot->answered = true;
        slot->answer = LoadedPicture{QImage(), QSize(0, 0), true};
        return slot;
    }
    // Opening a file on a share that stopped answering may never return.
    std::thread([ticket = ticket_, this, id = slot->id, path] {
        auto file = std::make_shared<OwnedFd>(OpenRegularFd(path));
        ticket.post([this, id, file] { Opened(id, std::move(*file)); });
    }).detach();
    return slot;
}

PictureJob* PictureLoaderClient::Find(quint64 id) {
    if (request_ && request_->id == id) return &*request_;
    if (ahead_ && ahead_->id == id) return &*ahead_;
    return nullptr;
}

void PictureLoaderClient::Request(const QString& path, const ShowFit& fit, Done done) {
    if (ahead_ && ahead_->path == path && SameFit(ahead_->fit, fit)) {
        request_ = std::move(ahead_);
        ahead_.reset();
    } else {
        NewJob(request_, path, fit);
    }
    request_->done = std::move(done);
    // Never answered from inside the call that asked.
    if (request_->answered) ticket_.post([this, id = request_->id] { Deliver(id); });
    Pump();
}

void PictureLoaderClient::Prefetch(const QString& path, const ShowFit& fit) {
    for (const std::optional<PictureJob>* job : {&request_, &ahead_})
        if (*job && (*job)->path == path && SameFit((*job)->fit, fit)) return;
    NewJob(ahead_, path, fit);
    Pump();
}

void PictureLoaderClient::Cancel() {
    // A picture the loader is working on is still given its time, and its answer dropped.
    request_.reset();
    ahead_.reset();
}

void PictureLoaderClient::Opened(quint64 id, OwnedFd file) {
    PictureJob* const job = Find(id);
    if (!job) return;
    if (!file.valid()) return Answer(id, std::nullopt);
    job->file = std::move(file);
    Pump();
}

void PictureLoaderClient::Pump() {
    if (inFlight_ != 0) return;
    PictureJob* job = request_ && request_->file.valid() ? &*request_ : nullptr;
    if (!job && ahead_ && ahead_->file.valid()) job = &*ahead_;
    if (!job) return;
    const quint64 id = job->id;
    const OwnedFd file = std::move(job->file);
    const bool sent = (socket_.valid() || StartLoader()) &&
                      SendPacket(socket_.get(), EncodeRequest({id, job->fit}), file.get());
    inFlight_ = id;
    if (!sent) return LoaderFailed();
    // A loader still starting has the budget for its start, renewed for the picture when ready.
    if (ready_) budgetTimer_->start(budget_);
}

bool PictureLoaderClient::StartLoader() {
    std::optional<HelperProcess> loader =
        StartHelperProcess(program_,
                           {program_, kPictureLoaderOption, QByteArray::number(kHelperSocketFd),
                            QByteArray::number(OwnProcessId())},
                           true);
    if (!loader) return false;
    pid_ = loader->pid;
    socket_ = std::move(loader->socket);
    ready_ = false;
    budgetTimer_->start(budget_);
    notifier_ = new QSocketNotifier(socket_.get(), QSocketNotifier::Read, &context_);
    QObject::connect(notifier_, &QSocketNotifier::activated, &context_, [this] { ReadReplies(); });
    return true;
}

void PictureLoaderClient::StopLoader() {
    budgetTimer_->stop();
    delete notifier_;
    notifier_ = nullptr;
    socket_.reset();
    EndHelperProcess(pid_);
    pid_ = -1;
}

void PictureLoaderClient::LoaderFailed() {
    StopLoader();
    const quint64 id = std::exchange(inFlight_, 0);
    // The next picture goes to a fresh loader, started when it is ready to be sent.
    if (id != 0) Answer(id, std::nullopt);
    Pump();
}

void PictureLoaderClient::ReadReplies() {
    for (;;) {
        bool wouldBlock = false;
        std::optional<Packet> packet = ReceivePacket(socket_.get(), &wouldBlock);
        if (!packet && wouldBlock) return;
        const std::optional<PictureReply> reply = packet ? ParseReply(packet->bytes) : std::nullopt;
        if (reply && reply->id == 0 && !ready_) {
            ready_ = true;
            if (inFlight_ != 0)
                budgetTimer_->start(budget_);
            else
                budgetTimer_->stop();
            continue;
        }
        // The end, or anything but the answer waited for: the loader is not to be trusted.
        if (!reply || inFlight_ == 0 || reply->id != inFlight_) return LoaderFailed();
        budgetTimer_->stop();
        inFlight_ = 0;
        Answer(reply->id, PictureFromReply(*reply, packet->file));
        Pump();
        if (!socket_.valid()) return;
    }
}

void PictureLoaderClient::Answer(quint64 id, std::optional<LoadedPicture> picture) {
    PictureJob* const job = Find(id);
    if (!job) return;
    job->answered = true;
    job->answer = std::move(picture);
    if (job->done) Deliver(id);
}

void PictureLoaderClient::Deliver(quint64 id) {
    if (!request_ || request_->id != id || !request_->answered) return;
    const Done done = std::move(request_->done);
    std::optional<LoadedPicture> answer = std::move(request_->answer);
    request_.reset();
    done(std::move(answer));
}

}  // namespace tavello
