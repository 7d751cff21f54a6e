// The show inside a screen-saver host's window, on the fake clock: laid out in the window, heard
// or silent, ended by the host alone (a signal, or its window going away), never by input or by
// a picture that cannot be shown.

#include "SaverTestKit.h"

#include "host/HostShow.h"
#include "platform/HostWindow.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <csignal>

namespace tavello::test {
namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255);
const QRect kMonitor(0, 0, 1024, 768);
constexpr WId kHostId = 0x400001;
constexpr WId kRootId = 0x1e;

class FakeHostWindows final : public HostWindows {
  public:
    WId RootWindow() override { return kRootId; }
    std::optional<QRect> Geometry(WId window) override {
        if (window == kRootId) return root;
        if (window == kHostId && exists) return host;
        return std::nullopt;
    }
    bool IsTopLevel(WId window) override { return window != kHostId || hostTopLevel; }
    void EmbedInto(QWidget&, WId window) override { embeddedIn = window; }
    void Watch(WId window) override { watched = window; }

    QRect host = kMonitor;
    QRect root = kMonitor;
    bool exists = true;
    bool hostTopLevel = true;
    WId embeddedIn = 0;
    WId watched = 0;
};

// ShowRig's settings, clock and fakes, run through HostShow instead of a bare Form1.
struct HostRig {
    ShowRig rig;
    FakeHostWindows windows;
    FakeMci silence;
    QList<QRect> monitors{kMonitor};
    QString imageFolder;
    std::unique_ptr<HostShow> host;

    bool start(const HackOptions& request) {
        HostShowDeps deps;
        deps.saver.services.ticks = &rig.show;
        deps.saver.services.cursor = &rig.cursor;
        deps.saver.services.password = &rig.password;
        deps.saver.timer = &rig.show;
        deps.saver.pictures = &rig.show;
        deps.saver.random = rig.randomSource;
        deps.saver.settingsPath = rig.dir.file(QStringLiteral("TAVELLO.INI"));
        deps.music = &rig.mci;
        deps.silence = &silence;
        deps.windows = &windows;
        deps.monitors = monitors;
        deps.imageFolder = imageFolder;
        host = std::make_unique<HostShow>(deps, request);
        if (!host->ready()) return false;
        rig.show.attach(host->form());
        return true;
    }
    void run() {
        host->Run();
        rig.show.runUntilEnded();
    }
    // The signal a host sends, at the given tick; the show must end at the next turn.
    void signalAt(std::int32_t tick, int signal) {
        rig.show.at(tick, [this, signal] {
            waitsBeforeSignal = rig.show.waits.size();
            std::raise(signal);
        });
    }
    std::size_t waitsBeforeSignal = 0;
};

HackOptions InHostWindow(bool named = false) {
    return HackOptions{HostTarget::HostWindow, kHostId, named, {}};
}

void PressAndMove(QWidget* form) {
    QTest::keyClick(form, Qt::Key_Shift);
    QTest::mouseClick(form, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 40), QPointF(40, 40), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &move);
}

struct PlaceCase {
    const char* name;
    HackOptions request;
    QRect window;  // the host's window (or the root window for HostTarget::Root)
    QList<QRect> monitors;
    bool heard;
    QSize formSize;
    double scale;  // of the headline's 40 points and the 640 × 480 picture's 100 %
    QColor first;  // the first picture shown: red, green, blue in list order
    int signal;
    bool hostInsideAWindow = false;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class HostedPlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(HostedPlace, LaysOutTheShowInTheWindowAndEndsOnlyOnTheSignal) {
    const PlaceCase& c = GetParam();
    HostRig h;
    h.windows.host = c.window;
    h.windows.root = c.window;
    h.windows.hostTopLevel = !c.hostInsideAWindow;
    h.monitors = c.monitors;
    ShowSettings settings;
    settings.headlineSize = "40";
    settings.pictures = {h.rig.picture("r.png", 640, 480, kRed),
                         h.rig.picture("g.png", 640, 480, kGreen),
                         h.rig.picture("b.png", 640, 480, kBlue)};
    h.rig.writeSettings(settings);
    ASSERT_TRUE(h.start(c.request));
    const std::int32_t t0 = h.rig.show.now;
    double headlinePoints = 0;
    QPoint headlineCentre;
    QSize formSize;
    h.rig.show.at(t0 + 1, [&] {
        headlinePoints = h.host->form()->Label1()->font().pointSizeF();
        headlineCentre = h.host->form()->Label1()->geometry().center();
        formSize = h.host->form()->size();
        PressAndMove(h.host->form());  // the host owns input: nothing ends
    });
    h.signalAt(t0 + 2 * 5001 + 100, c.signal);
    h.run();

    EXPECT_NEAR(headlinePoints, 40 * c.scale, 0.01);
    EXPECT_NEAR(headlineCentre.x(), c.formSize.width() / 2, 1);
    EXPECT_NEAR(headlineCentre.y(), c.formSize.height() / 2, 1);
    EXPECT_EQ(formSize, c.formSize);
    // Our window never reaches past the monitors, whatever the host's window.
    QRect desk;
    for (const QRect& monitor : c.monitors) desk |= monitor;
    EXPECT_LE(h.host->window()->width(), desk.width());
    EXPECT_LE(h.host->window()->height(), desk.height());
    ASSERT_EQ(h.rig.show.frames.size(), 2u);  // ended by the signal, not by the safety net
    EXPECT_LE(h.rig.show.waits.size(), h.waitsBeforeSignal + 1);  // by the wait that followed
    const QSizeF shown = QSizeF(640, 480) * c.scale;
    const QRectF expected(
        QPointF(c.formSize.width() - shown.width(), c.formSize.height() - shown.height()) / 2,
        shown);
    EXPECT_NEAR(h.rig.show.frames[0].imageRect.left(), expected.left(), 0.5);
    EXPECT_NEAR(h.rig.show.frames[0].imageRect.top(), expected.top(), 0.5);
    EXPECT_NEAR(h.rig.show.frames[0].imageRect.width(), expected.width(), 0.5);
    EXPECT_EQ(h.rig.show.frames[0].imageColour, c.first);
    for (const ShownFrame& frame : h.rig.show.frames) EXPECT_EQ(frame.stopFlag, 0);
    EXPECT_TRUE(h.host->form()->ended());
    EXPECT_EQ(h.rig.cursor.counter, 0);  // never hidden, never shown
    EXPECT_EQ(h.rig.password.asked, 0);

    // The music went to the shared player or to silence, and was stopped and closed at the end.
    const QStringList& heard = c.heard ? h.rig.mci.commands : h.silence.commands;
    const QStringList& unheard = c.heard ? h.silence.commands : h.rig.mci.commands;
    EXPECT_TRUE(unheard.isEmpty()) << unheard.join(", ").toStdString();
    ASSERT_GE(heard.size(), 4);
    EXPECT_EQ(heard.mid(heard.size() - 2), (QStringList{"stop sng wait", "close sng"}));
    const bool embedded = c.request.target == HostTarget::HostWindow;
    EXPECT_EQ(h.windows.embeddedIn, embedded ? kHostId : 0);
    EXPECT_EQ(h.windows.watched, embedded ? kHostId : 0);
}

const QList<QRect> kTwoMonitors{QRect(0, 0, 1024, 768), QRect(1024, 0, 1280, 1024)};

// One row per case reads better than clang-format's one field per line.
// clang-format off
const PlaceCase kPlaceCases[] = {
    {"WholeMonitor", InHostWindow(), kMonitor, {kMonitor}, true, {1024, 768}, 1.0, kRed, SIGTERM},
    {"SecondMonitorStartsOnePictureOn", InHostWindow(), kTwoMonitors[1], kTwoMonitors, true,
     {1280, 1024}, 1.0, kGreen, SIGINT},
    {"PreviewNamedOnTheCommandLine", InHostWindow(true), QRect(300, 200, 256, 192), {kMonitor},
     false, {256, 192}, 0.25, kRed, SIGHUP},
    // A small window given without -window-id: scaled, but heard.
    {"SmallWindowWithoutWindowId", InHostWindow(), QRect(10, 10, 512, 384), {kMonitor}, true,
     {512, 384}, 0.5, kRed, SIGTERM},
    // A pane inside a settings window, named through XSCREENSAVER_WINDOW: silent.
    {"SmallPaneInsideAWindow", InHostWindow(), QRect(300, 200, 256, 192), {kMonitor}, false,
     {256, 192}, 0.25, kRed, SIGTERM, true},
    // A window inside another that fills its monitor is the host's full show: heard.
    {"WholeMonitorInsideAWindow", InHostWindow(), kMonitor, {kMonitor}, true, {1024, 768}, 1.0,
     kRed, SIGHUP, true},
    // Its centre lies on the second monitor. Wider than the largest monitor: drawn at that
    // monitor's width, enlarged.
    {"RootWindowAcrossTwoMonitors", {HostTarget::Root, 0, false, {}}, QRect(0, 0, 2304, 1024),
     kTwoMonitors, true, {1280, 569}, 569.0 / 1024, kGreen, SIGTERM},
    // A window of absurd size: drawn at the monitor's height, enlarged.
    {"HugeHostWindow", InHostWindow(), QRect(0, 0, 32767, 32767), {kMonitor}, true, {768, 768},
     1.0, kRed, SIGTERM},
    {"OwnWindowHalfTheFirstMonitor", {HostTarget::OwnWindow, 0, false, {}}, QRect(), {kMonitor},
     true, {512, 384}, 0.5, kRed, SIGINT},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, HostedPlace, ::testing::ValuesIn(kPlaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostedShow, PicturesThatCannotBeShownArePassedOverAndNoneLeavesTheWindowBlack) {
    const struct {
        const char* name;
        std::vector<const char*> files;  // "red", "green", or a file that is no picture
        std::vector<QColor> shown;       // at each change; invalid: nothing visible
    } cases[] = {
        {"SomeBad", {"missing.jpg", "red", "text.jpg", "green"}, {kRed, kGreen, kRed, kGreen}},
        {"AllBad", {"missing.jpg", "text.jpg"}, {QColor(), QColor(), QColor(), QColor()}},
        {"OnlyOneAndBad", {"text.jpg"}, {QColor(), QColor(), QColor()}},
    };
    for (const auto& c : cases) {
        HostRig h;
        h.rig.dir.write("text.jpg", "not a picture\n");
        ShowSettings settings;
        settings.headline = "";
        settings.speed = "1";
        for (const char* file : c.files) {
            const QString name = QString::fromLatin1(file);
            if (name == "red" || name == "green")
                settings.pictures << h.rig.picture(name + ".png", 64, 48,
                                                   name == "red" ? kRed : kGreen);
            else
                settings.pictures << h.rig.dir.file(name);
        }
        h.rig.writeSettings(settings);
        ASSERT_TRUE(h.start(InHostWindow())) << c.name;
        h.signalAt(h.rig.show.now + static_cast<int>(c.shown.size() - 1) * 1001 + 500, SIGTERM);
        h.run();

        ASSERT_EQ(h.rig.show.frames.size(), c.shown.size()) << c.name;
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            const ShownFrame& frame = h.rig.show.frames[i];
            EXPECT_EQ(frame.stopFlag, 0) << c.name << " " << i;
            EXPECT_FALSE(frame.labelVisible) << c.name << " " << i;
            EXPECT_EQ(frame.imageVisible, c.shown[i].isValid()) << c.name << " " << i;
            if (c.shown[i].isValid()) {
                EXPECT_EQ(frame.imageColour, c.shown[i]) << c.name << " " << i;
            }
        }
    }
}

TEST(HostedShow, FollowsTheHostWindowsSizeAndEndsWhenItIsGone) {
    HostRig h;
    ShowSettings settings;
    settings.headline = "";
    settings.speed = "1";
    settings.pictures = {h.rig.picture("r.png", 640, 480, kRed)};
    h.rig.writeSettings(settings);
    ASSERT_TRUE(h.start(InHostWindow()));
    const std::int32_t t0 = h.rig.show.now;
    QSize followed;
    h.rig.show.at(t0 + 500, [&] {
        emit h.windows.resized(QSize(800, 600));
        QCoreApplication::processEvents();
        followed = h.host->form()->size();
    });
    std::int32_t goneAt = 0;
    h.rig.show.at(t0 + 1500, [&] {
        goneAt = h.rig.show.now;
        emit h.windows.gone();
    });
    h.run();

    EXPECT_EQ(followed, QSize(800, 600));
    ASSERT_EQ(h.rig.show.frames.size(), 2u);
    EXPECT_EQ(h.rig.show.frames[0].imageRect, QRectF(192, 144, 640, 480));  // 1024 × 768
    EXPECT_EQ(h.rig.show.frames[1].imageRect, QRectF(80, 60, 640, 480));    // 800 × 600
    EXPECT_TRUE(h.host->form()->ended());
    EXPECT_EQ(h.rig.show.now, goneAt);
    EXPECT_EQ(h.rig.mci.commands.mid(h.rig.mci.commands.size() - 2),
              (QStringList{"stop sng wait", "close sng"}));
}

TEST(HostedShow, AHostWindowThatDoesNotExistIsNothingToDrawInto) {
    HostRig h;
    h.windows.exists = false;
    EXPECT_FALSE(h.start(InHostWindow()));
    EXPECT_TRUE(h.rig.mci.commands.isEmpty());
}

TEST(HostLayout, MonitorScaleAndPreview) {
    const struct {
        QRect window;
        QList<QRect> monitors;
        int monitor;
        double scale;
    } cases[] = {
        {QRect(0, 0, 1024, 768), {kMonitor}, 0, 1.0},
        {QRect(100, 100, 256, 192), {kMonitor}, 0, 0.25},
        {QRect(0, 0, 1024, 384), {kMonitor}, 0, 0.5},
        {QRect(0, 0, 512, 768), {kMonitor}, 0, 1.0},  // narrower only: not scaled
        {QRect(0, 0, 2048, 1536), {kMonitor}, 0, 1.0},
        {QRect(1024, 0, 1280, 1024), kTwoMonitors, 1, 1.0},
        {QRect(1100, 100, 320, 256), kTwoMonitors, 1, 0.25},
        // Centre off every monitor: the one it overlaps most.
        {QRect(900, 900, 300, 300), kTwoMonitors, 1, 0.29296875},
        {QRect(5000, 5000, 10, 10), kTwoMonitors, 0, 10.0 / 768},
        {QRect(0, 0, 640, 480), {}, 0, 1.0},
    };
    for (const auto& c : cases) {
        const HostLayout layout = PlanHostLayout(c.window, c.monitors);
        const auto label = QString("%1,%2 %3x%4")
                               .arg(c.window.x())
                               .arg(c.window.y())
                               .arg(c.window.width())
                               .arg(c.window.height())
                               .toStdString();
        EXPECT_EQ(layout.size, c.window.size()) << label;
        EXPECT_EQ(layout.monitor, c.monitor) << label;
        EXPECT_DOUBLE_EQ(layout.sizeScale, c.scale) << label;
    }
}

TEST(HostLayout, DrawsAtMostTheLargestMonitorAndEnlarges) {
    const struct {
        QRect window;
        QList<QRect> monitors;
        QSize drawn;
        double upscale;
        double scale;
        QRect visible;
    } cases[] = {
        {QRect(0, 0, 1024, 768), {kMonitor}, {1024, 768}, 1, 1, QRect(0, 0, 1024, 768)},
        {QRect(100, 100, 256, 192), {kMonitor}, {256, 192}, 1, 0.25, QRect(0, 0, 256, 192)},
        {QRect(0, 0, 2048, 1536), {kMonitor}, {1024, 768}, 2, 1, QRect(0, 0, 1024, 768)},
        {QRect(0, 0, 4096, 768), {kMonitor}, {1024, 192}, 4, 0.25, QRect(0, 0, 1024, 768)},
        {QRect(0, 0, 32767, 32767),
         {kMonitor},
         {768, 768},
         32767.0 / 768,
         1,
         QRect(0, 0, 1024, 768)},
        // The largest monitor sets the bound, not the one under the window.
        {QRect(0, 0, 2304, 1024),
         kTwoMonitors,
         {1280, 569},
         2304.0 / 1280,
         569.0 / 1024,
         QRect(0, 0, 2304, 1024)},
        {QRect(-100, -50, 300, 200),
         {kMonitor},
         {300, 200},
         1,
         200.0 / 768,
         QRect(100, 50, 200, 150)},
    };
    for (const auto& c : cases) {
        const HostLayout layout = PlanHostLayout(c.window, c.monitors);
        const auto label = QString("%1x%2").arg(c.window.width()).arg(c.window.height());
        EXPECT_EQ(layout.drawn, c.drawn) << label.toStdString();
        EXPECT_DOUBLE_EQ(layout.upscale, c.upscale) << label.toStdString();
        EXPECT_DOUBLE_EQ(layout.sizeScale, c.scale) << label.toStdString();
        EXPECT_EQ(VisiblePart(c.window, c.monitors), c.visible) << label.toStdString();
    }
}

TEST(HostedShow, ShowsTheHostsPictureFolderOnlyWhenTheListIsEmpty) {
    const struct {
        const char* name;
        bool ownPictures;
        QColor first, second;
    } cases[] = {{"empty list", false, kGreen, kBlue}, {"pictures of its own", true, kRed, kRed}};
    for (const auto& c : cases) {
        HostRig h;
        h.imageFolder = h.rig.dir.file("xscreensaver");
        h.rig.picture("xscreensaver/1.png", 64, 48, kGreen);
        h.rig.picture("xscreensaver/sub/2.png", 64, 48, kBlue);
        ShowSettings settings;
        settings.headline = "";
        if (c.ownPictures) settings.pictures = {h.rig.picture("r.png", 64, 48, kRed)};
        h.rig.writeSettings(settings);
        ASSERT_TRUE(h.start(InHostWindow()));
        h.rig.show.maxFrames = 1;
        h.run();

        ASSERT_EQ(h.rig.show.frames.size(), 2u) << c.name;
        EXPECT_EQ(h.rig.show.frames[0].imageColour, c.first) << c.name;
        EXPECT_EQ(h.rig.show.frames[1].imageColour, c.second) << c.name;
        EXPECT_EQ(h.host->form()->ExpandedCount().has_value(), !c.ownPictures) << c.name;
    }
}

}  // namespace
}  // namespace tavello::test
