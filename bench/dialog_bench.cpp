// Speed of the settings dialog, each figure reported against a baseline measured in the same run.
//
//   dialog_bench open [--short|--smoke]      opening the dialog with 1000 pictures, to its first
//                                            paint, against a bare window holding the same list
//   dialog_bench preview [--short|--smoke]   previewing a 6000 × 4000 JPEG, against
//                                            djpeg -scale 1/8
//   dialog_bench banner [--short|--smoke]    processor use of the scrolling banner, against the
//                                            same dialog sitting open with the banner stopped
//   dialog_bench all [--short|--smoke]       all three
//
// Prints one "RESULT name value unit" line per figure. Exits 1 when a target is missed, 2 when a
// benchmark cannot run; the short mode (for CI, on a shared machine) only fails beyond twice the
// target. The smoke mode (10 pictures, a 600 × 400 JPEG, one round, 0.2 s of banner) only
// proves the benchmarks run.

#include "BenchCommon.h"
#include "dialog/Form2.h"
#include "startup/SystemServices.h"
#include "toolkit/Toolkit.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace tavello;
using namespace tavello::bench;

namespace {

Length g_length = Length::Full;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// True when the figure meets its target (or, in the short mode, twice the target).
bool Within(double value, double target) {
    return value <= (g_length == Length::Short ? 2 * target : target);
}

// Runs the event loop for the given time.
void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Waits for a window's first paint; the time is taken from `started` to the end of it.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(QWidget& window) { window.installEventFilter(this); }
    double waitFrom(const QElapsedTimer& started) {
        QElapsedTimer guard;
        guard.start();
        while (!painted_ && guard.elapsed() < 10000) QCoreApplication::processEvents();
        return painted_ ? MsSince(started) : -1;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The paint goes ahead; the wait ends when the event pass that delivered it is over.
        if (event->type() == QEvent::Paint) {
            painted_ = true;
            watched->removeEventFilter(this);
        }
        return false;
    }

  private:
    bool painted_ = false;
};

// The settings file with the given pictures, in the settings folder of XDG_CONFIG_HOME.
bool WriteSettings(const QString& configHome, const QStringList& pictures) {
    QDir().mkpath(configHome + "/tavello");
    QFile file(configHome + "/tavello/TAVELLO.INI");
    if (!file.open(QIODevice::WriteOnly)) return false;
    QStringList lines{"5", "IPAGothic", "48", "100%", "", "TAVELLO", "0"};
    lines += pictures;
    for (const QString& line : lines) file.write(line.toUtf8() + "\r\n");
    return true;
}

std::unique_ptr<Form2> OpenDialog(const Services& services) {
    auto form = std::make_unique<Form2>(services);
    form->Form_Load();
    form->show();
    return form;
}

int OpenBench(const QString& folder) {
    QImage small(640, 480, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    QStringList pictures;
    for (int i = 0; i < ByLength(g_length, 1000, 1000, 10); ++i) {
        const QString path =
            QStringLiteral("%1/pictures/picture-%2.jpg").arg(folder).arg(i, 4, 10, QChar('0'));
        pictures << path;
    }
    QDir().mkpath(folder + "/pictures");
    for (const QString& path : pictures)
        if (!WriteJpeg(path, small)) return 2;
    if (!WriteSettings(qEnvironmentVariable("XDG_CONFIG_HOME"), pictures)) return 2;

    const Services services = SystemServices();
    auto openDialog = [&] {
        QElapsedTimer timer;
        timer.start();
        Form2 form(services);
        FirstPaint paint(form);
        form.Form_Load();
        form.show();
        return paint.waitFrom(timer);
    };
    auto openBaseline = [&] {
        QElapsedTimer timer;
        timer.start();
        QWidget window;
        auto* list = new QListWidget(&window);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setGeometry(8, 184, 321, 100);
        list->addItems(pictures);
        window.resize(379, 368);
        FirstPaint paint(window);
        window.show();
        return paint.waitFrom(timer);
    };
    // The first opening in the process pays for the font database, as a real start does.
    const double cold = openDialog();
    std::vector<double> dialog, baseline;
    for (int i = 0; i < ByLength(g_length, 11, 3, 1); ++i) {
        baseline.push_back(openBaseline());
        dialog.push_back(openDialog());
    }
    if (cold < 0 || !AllTaken(dialog)) return 2;
    Result("open_1000_first_paint_cold", cold, "ms (target < 150)");
    Result("open_1000_first_paint_warm", Median(dialog), "ms");
    Result("bare_list_1000_first_paint", Median(baseline), "ms");
    Result("open_vs_bare_list", Median(dialog) / Median(baseline), "x");
    return Verdict(g_length, Within(cold, 150));
}

int PreviewBench(const QString& folder) {
    const QStringList photos{folder + "/photo-a.jpg", folder + "/photo-b.jpg"};
    const QSize photo = ByLength(g_length, QSize(6000, 4000), QSize(6000, 4000), QSize(600, 400));
    for (int i = 0; i < photos.size(); ++i)
        if (!WriteJpeg(photos[i], PhotoLikePicture(photo, quint32(i + 1)))) return 2;
    if (!WriteSettings(qEnvironmentVariable("XDG_CONFIG_HOME"), photos)) return 2;
    const Services services = SystemServices();
    auto form = OpenDialog(services);
    auto* list = form->findChild<QListWidget*>(QStringLiteral("lstPic"));
    if (!list) return 2;
    QCoreApplication::processEvents();

    std::vector<double> ours, djpeg;
    for (int i = 0; i < ByLength(g_length, 21, 5, 1); ++i) {
        QElapsedTimer timer;
        timer.start();
        list->setCurrentRow(i % 2);  // the selection change previews the picture
        ours.push_back(MsSince(timer));
        QCoreApplication::processEvents();
        djpeg.push_back(TimeDjpeg(photos[i % 2], "1/8"));
    }
    if (!AllTaken(djpeg)) return 2;
    const double ratio = Median(ours) / Median(djpeg);
    Result("preview_6000x4000", Median(ours), "ms");
    Result("djpeg_eighth", Median(djpeg), "ms");
    Result("preview_vs_djpeg", ratio, "x (target <= 1.3)");
    return Verdict(g_length, Within(ratio, 1.3));
}

int BannerBench() {
    if (!WriteSettings(qEnvironmentVariable("XDG_CONFIG_HOME"), {})) return 2;
    const Services services = SystemServices();
    auto form = OpenDialog(services);
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    if (!timer) return 2;
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [&ticks] { ++ticks; });
    RunFor(ByLength(g_length, 500, 500, 100));  // settle after the first paint

    const int ms = ByLength(g_length, 10000, 3000, 200);
    ticks = 0;
    double cpu = CpuSeconds();
    RunFor(ms);
    const double withBanner = CpuSeconds() - cpu;
    const int tickCount = ticks;

    timer->stop();
    cpu = CpuSeconds();
    RunFor(ms);
    const double idle = CpuSeconds() - cpu;

    const double percent = 100.0 * (withBanner - idle) / (ms / 1000.0);
    Result("banner_ticks_per_second", tickCount / (ms / 1000.0), "ticks/s");
    Result("dialog_idle_cpu", 100.0 * idle / (ms / 1000.0), "% of one core");
    Result("dialog_with_banner_cpu", 100.0 * withBanner / (ms / 1000.0), "% of one core");
    Result("banner_cpu", percent, "% of one core (target < 2)");
    return Verdict(g_length, Within(percent, 2));
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The dialog reads and writes its settings in a folder of our own, never the user's.
    QTemporaryDir folder;
    if (!folder.isValid()) return 2;
    qputenv("XDG_CONFIG_HOME", (folder.path() + "/config").toUtf8());
    PreferSmallScreenUpdates();  // as the program does for "/C"
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    g_length = TakeLength(args);
    const QString which = args.value(0, QStringLiteral("all"));
    const std::vector<std::pair<QString, std::function<int()>>> benches{
        {"open", [&] { return OpenBench(folder.path()); }},
        {"preview", [&] { return PreviewBench(folder.path()); }},
        {"banner", [] { return BannerBench(); }}};
    int status = 0;
    bool known = false;
    for (const auto& [name, run] : benches) {
        if (which != "all" && which != name) continue;
        known = true;
        status = std::max(status, run());
    }
    if (!known) {
        std::fprintf(stderr, "usage: dialog_bench [open|preview|banner|all] [--short|--smoke]\n");
        return 2;
    }
    return status;
}
