// The running show through the saver window's own code, on the real clock and event loop.
//
//   show_bench soak [--short] [changes]   10,000 picture changes (1,000 with --short, 10 with
//                                         --smoke) at Speed 0
//                                         of small JPEG, BMP and PNG pictures in list order, so
//                                         every change also prepares the next picture ahead.
//                                         Prints resident memory, peak resident memory, open file
//                                         descriptors and threads after the first change,
//                                         half-way and at the end (flat: no growth). Exits 0 once
//                                         the changes have run, 1 when the show cannot run them.
//   show_bench headline [--smoke]         time from loading the window to a painted headline of
//                                         10 million characters, against a one-word headline
//                                         (target: under a second). Exits 1 when it is missed.
//
// --smoke (10 changes; a headline of 10,000 characters, once) only proves the benchmark runs.

#include "BenchCommon.h"
#include "ShowFakes.h"
#include "loader/LoaderMain.h"
#include "loader/PictureLoaderClient.h"
#include "music/Mci.h"
#include "platform/Cursor.h"
#include "platform/DeskGuard.h"
#include "platform/Password.h"
#include "platform/TickCount.h"
#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "saver/x11/X11Desk.h"
#include "toolkit/ImageControl.h"
#include "toolkit/Toolkit.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

using namespace tavello;
using namespace tavello::bench;

namespace {

struct Sample {
    double rssMb = 0;
    double peakMb = 0;
    qint64 fds = 0;
    qint64 threads = 0;
};

Sample Take() {
    return {ProcStatusKb("VmRSS:") / 1024.0, ProcStatusKb("VmHWM:") / 1024.0, OpenFileDescriptors(),
            ProcStatus("Threads:")};
}

// Counts the changes and ends the show after the last.
class ChangeCounter {
  public:
    explicit ChangeCounter(int changes) : changes_(changes) {}
    void Changed() {
        ++done;
        if (form->StopFlag() != 0 || !form->Image1()->hasPicture()) failed = true;
        if (done == 1) start = Take();
        if (done == changes_ / 2) middle = Take();
        if (done == changes_) {
            end = Take();
            form->close();
        }
    }

    Form1* form = nullptr;
    int done = 0;
    bool failed = false;
    Sample start, middle, end;

  private:
    int changes_;
};

QStringList MakePictures(const QString& folder) {
    const struct {
        const char* name;
        const char* format;
        QSize size;
    } kinds[] = {{"a.jpg", "JPEG", {160, 120}},
                 {"b.bmp", "BMP", {120, 160}},
                 {"c.png", "PNG", {200, 100}},
                 {"d.jpg", "JPEG", {96, 96}}};
    QStringList paths;
    quint32 seed = 1;
    for (const auto& kind : kinds) {
        const QString path = QDir(folder).filePath(kind.name);
        if (!PhotoLikePicture(kind.size, seed++).save(path, kind.format)) return {};
        paths << path;
    }
    return paths;
}

// Pictures at their own size, in list order, no music.
bool WriteSettings(const QString& path, const char* speed, const QString& headline,
                   const QStringList& pictures) {
    QByteArray text =
        QByteArray(speed) + "\r\nSans\r\n36\r\n100%\r\n\r\n" + headline.toUtf8() + "\r\n0\r\n";
    for (const QString& picture : pictures) text += picture.toUtf8() + "\r\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

void Report(const char* when, const Sample& s) {
    const QByteArray prefix = QByteArray(when) + "_";
    Result((prefix + "rss_mb").constData(), s.rssMb, "MB");
    Result((prefix + "peak_rss_mb").constData(), s.peakMb, "MB");
    Result((prefix + "open_fds").constData(), double(s.fds), "");
    Result((prefix + "threads").constData(), double(s.threads), "");
}

struct Show {
    EndlessMusic music;
    NoPassword password;
    ClockSeededRandom random;
    PictureLoaderClient pictures;
    SaverDeps deps;
    Show(ShowTimer& timer, const QString& settings) {
        deps.pictures = &pictures;
        deps.services.ticks = &SystemTicks();
        deps.services.cursor = &SystemCursor();
        deps.services.desk = &SystemDeskGuard();
        deps.services.password = &password;
        deps.services.mci = &music;
        deps.timer = &timer;
        deps.random = &random;
        deps.screenTwips = ScreenSizeTwips();
        deps.settingsPath = settings;
        deps.desk = MakeX11Desk;
    }
};

int Soak(Length length, const QStringList& args) {
    const int changes = args.isEmpty() ? ByLength(length, 10000, 1000, 10) : args.first().toInt();
    QTemporaryDir folder;
    const QStringList pictures = folder.isValid() ? MakePictures(folder.path()) : QStringList();
    const QString settings = QDir(folder.path()).filePath("TAVELLO.INI");
    if (changes < 2 || pictures.isEmpty() || !WriteSettings(settings, "0", {}, pictures)) {
        std::fprintf(stderr, "show_bench: cannot prepare the show\n");
        return 1;
    }
    ChangeCounter waiter(changes);
    EventLoopTimer showTimer;
    Show show(showTimer, settings);
    Form1 form(show.deps);
    waiter.form = &form;
    QObject::connect(&form, &Form1::pictureChanged, [&waiter] { waiter.Changed(); });
    QElapsedTimer timer;
    timer.start();
    RunShowToEnd(form);
    const double seconds = MsSince(timer) / 1000;

    if (waiter.failed || waiter.done != changes) {
        std::fprintf(stderr, "show_bench: the show ended after %d of %d changes\n", waiter.done,
                     changes);
        return 1;
    }
    Result("changes", changes, "");
    Result("changes_per_second", changes / seconds, "/s");
    Report("start", waiter.start);
    Report("middle", waiter.middle);
    Report("end", waiter.end);
    Result("rss_growth_second_half_mb", waiter.end.rssMb - waiter.middle.rssMb,
           "MB (flat: near 0)");
    Result("peak_growth_second_half_mb", waiter.end.peakMb - waiter.middle.peakMb,
           "MB (flat: near 0)");
    Result("fd_growth_whole_run", double(waiter.end.fds - waiter.start.fds), "(flat: 0)");
    return 0;
}

// Milliseconds from loading the window to the painted headline, or -1 when it cannot be run.
double HeadlineUp(const QString& headline) {
    QTemporaryDir folder;
    const QString settings = QDir(folder.path()).filePath("TAVELLO.INI");
    if (!folder.isValid() || !WriteSettings(settings, "5", headline, {})) return -1;
    HeadlineTimer timer;
    Show show(timer, settings);
    Form1 form(show.deps);
    timer.form = &form;
    timer.onHeadline = [&form] { form.close(); };
    timer.timer.start();
    RunShowToEnd(form);
    return timer.headlineMs;
}

int Headline(Length length) {
    QString huge;
    const QString piece = QStringLiteral("TAVELLO 2023 ");
    const int characters = ByLength(length, 10'000'000, 10'000'000, 10'000);
    huge.reserve(characters + piece.size());
    while (huge.size() < characters) huge += piece;
    std::vector<double> one, big;
    for (int i = 0; i < ByLength(length, 3, 3, 1); ++i) {  // interleaved, so load affects both
        one.push_back(HeadlineUp(QStringLiteral("TAVELLO")));
        big.push_back(HeadlineUp(huge));
    }
    if (!AllTaken(one) || !AllTaken(big)) return 1;
    Result("headline_word_ms", Median(one), "ms");
    Result("headline_10m_chars_ms", Median(big), "ms (target < 1000)");
    Result("headline_10m_vs_word", Median(big) / Median(one), "x");
    return Verdict(length, Median(big) < 1000);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kPictureLoaderOption) == 0)
        return RunPictureLoader(argc, argv);
    OffscreenUnlessChosen();
    BenchApp<QApplication> bench(argc, argv);
    const QString mode = bench.args.isEmpty() ? QString() : bench.args.takeFirst();
    if (mode == "soak") return Soak(bench.length, bench.args);
    if (mode == "headline") return Headline(bench.length);
    std::fprintf(stderr,
                 "usage: show_bench soak [--short|--smoke] [changes] | headline [--smoke]\n");
    return 2;
}
