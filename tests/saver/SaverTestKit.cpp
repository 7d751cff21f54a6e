#include "SaverTestKit.h"

#include "loader/LoaderDecode.h"
#include "platform/RegularFile.h"
#include "saver/x11/X11Desk.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>

namespace tavello::test {

std::uint32_t FakeMci::Send(const MciParseResult& sent, QByteArray& reply) {
    commands << QString::fromUtf8(sent.command.text);
    reply = sent.command.text == "status sng mode" ? mode : QByteArray();
    return 0;
}

std::int32_t FakePassword::VerifyScreenSavePwd(QWidget*) {
    const std::size_t index = static_cast<std::size_t>(asked++);
    if (whileAsking) whileAsking();
    return index < answers.size() ? answers[index] : 1;
}

namespace {

bool NextAnswer(std::deque<bool>& answers) {
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

bool FakeDesk::GrabKeyboard(QWidget* window) {
    log.push_back("keyboard");
    grabbedBy = window;
    return NextAnswer(keyboardAnswers);
}

bool FakeDesk::GrabPointer(QWidget* window) {
    log.push_back("pointer");
    grabbedBy = window;
    return NextAnswer(pointerAnswers);
}

void FakeDesk::WatchStacking(std::function<void()> watcher) {
    log.push_back(watcher ? "watch" : "unwatch");
    changed = std::move(watcher);
}

bool FakeDesk::OnTopInOrder(const QList<QWidget*>&) {
    ++checks;
    return onTop;
}

void FakeDesk::RaiseInOrder(const QList<QWidget*>& windows) {
    log.push_back("raise");
    raised.push_back(windows);
}

float ScriptedRandom::Draw() {
    const float value = draws_[std::min(next_, draws_.size() - 1)];
    ++next_;
    return value;
}

void FakeShow::attach(Form1* show) {
    form = show;
    QObject::connect(form, &Form1::pictureChanged, [this] { changed(); });
}

void FakeShow::changed() {
    ShownFrame frame;
    frame.tick = now;
    frame.picIndex = form->PicIndex();
    frame.labelVisible = form->Label1()->isVisible();
    const ImageControl* image = form->Image1();
    frame.imageVisible = image->isVisible();
    frame.imageRect = QRectF(image->Left(), image->Top(), image->Width(), image->Height());
    const QImage& picture = image->picture().image;
    if (!picture.isNull())
        frame.imageColour = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    frame.stopFlag = form->StopFlag();
    frames.push_back(frame);
    runDue();
    guard();
}

void FakeShow::WakeAfter(int milliseconds, std::function<void()> due) {
    wait_ = milliseconds;
    due_ = std::move(due);
}

namespace {

// The picture as the show's loader would answer for it, decoded here.
std::optional<LoadedPicture> DecodeForShow(const QString& path, const ShowFit& fit) {
    if (path.isEmpty()) return LoadPicture(path);
    const OwnedFd file = OpenRegularFd(path);
    if (!file.valid()) return std::nullopt;
    return tavello::DecodeForShow(file.get(), fit);
}

}  // namespace

void FakeShow::Request(const QString& path, const ShowFit& fit, Done done) {
    auto answer = [path, fit, done = std::move(done)] { done(DecodeForShow(path, fit)); };
    if (requests++ == holdRequest) {
        held_ = std::move(answer);
        return whileHeld();
    }
    ++posted_;
    ticket_.post([this, answer = std::move(answer)] {
        ++answered_;
        answer();
    });
}

void FakeShow::processEvents() {
    // Until the pictures asked for have come, and what their answers posted has run.
    int answered = 0;
    do {
        answered = answered_;
        QCoreApplication::processEvents();
    } while ((posted_ != answered_ || answered != answered_) && !form->ended());
}

void FakeShow::runUntilEnded() {
    // Input the show has heard is acted on before anything else, as the event loop would.
    processEvents();
    while (!form->ended() && due_) {
        std::function<void()> due = std::move(due_);
        due_ = nullptr;
        waits.push_back(wait_);
        // The folders are listed on a real thread: with nothing scripted to happen meanwhile, the
        // fake clock waits for the listing instead of running out ahead of it.
        // Past the wait, the clock goes on and the rig's own limits end the show.
        if (scheduled_.empty() && form->ListingPictures())
            static_cast<void>(QTest::qWaitFor(
                [this] { return !form->ListingPictures() || form->ended(); }, 10000));
        advance(wait_);
        runDue();
        guard();
        processEvents();
        if (form->ended()) break;
        // Input may have asked for another wake-up meanwhile (a refused password).
        if (!due_) due();
        processEvents();
    }
}

void FakeShow::advance(std::int64_t milliseconds) {
    waited_ += milliseconds;
    now = static_cast<std::int32_t>(static_cast<std::uint32_t>(now) +
                                    static_cast<std::uint32_t>(milliseconds));
}

void FakeShow::at(std::int32_t tick, std::function<void()> action) {
    scheduled_.push_back({tick, std::move(action)});
}

void FakeShow::runDue() {
    for (std::size_t i = 0; i < scheduled_.size();) {
        // Due when the clock has reached the tick (compared across the wrap).
        if (static_cast<std::int32_t>(static_cast<std::uint32_t>(now) -
                                      static_cast<std::uint32_t>(scheduled_[i].tick)) >= 0) {
            auto action = std::move(scheduled_[i].action);
            scheduled_.erase(scheduled_.begin() + static_cast<std::ptrdiff_t>(i));
            action();
        } else {
            ++i;
        }
    }
}

void FakeShow::guard() {
    if ((frames.size() > maxFrames || waited_ > maxMilliseconds) && !form->ended()) form->close();
}

ShowRig::ShowRig(std::int32_t startTick) : show(startTick) {}

ShowRig::~ShowRig() = default;

QString ShowRig::picture(const QString& name, int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.file(name);
    QDir().mkpath(QFileInfo(path).path());
    image.save(path);
    return path;
}

void ShowRig::writeSettings(const ShowSettings& s) {
    const QStringList values{
        s.speed,    QStringLiteral("Sans"), s.headlineSize, s.picSize, s.musicFile,
        s.headline, s.randomOrder};
    QByteArray bytes;
    for (const QString& line : values + s.pictures) bytes += line.toUtf8() + "\r\n";
    QFile file(dir.file(QStringLiteral("TAVELLO.INI")));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

void ShowRig::run() {
    SaverDeps deps;
    deps.services.ticks = &show;
    deps.services.cursor = &cursor;
    deps.services.password = &password;
    deps.services.mci = &mci;
    deps.services.desk = &desk;
    deps.passwordFlag = passwordFlag;
    deps.timer = &show;
    deps.random = randomSource;
    deps.screenTwips = QSize(1024 * 15, 768 * 15);
    deps.settingsPath = dir.file(QStringLiteral("TAVELLO.INI"));
    deps.scanFolder = scanFolder;
    deps.desk = MakeX11Desk;
    deps.pictures = &show;
    form = std::make_unique<Form1>(deps);
    show.attach(form.get());
    headlineTick = show.now;
    form->Form_Load();
    show.runUntilEnded();
}

}  // namespace tavello::test
