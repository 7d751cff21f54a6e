// The show as a screen-saver hack, measured from outside the program on a real X server: the
// program is started as a host starts it, and its pixels are read back from the screen.
//
//   host_bench launch <tavello> [--short]  time from start to the headline's first pixels, in a
//                                          host's window and with "/S", with no music, a WAV and
//                                          a MIDI song; each against no music in the same run
//   host_bench cpu <tavello> [--short]     processor use of a host-mode show between pictures
//   host_bench memory <tavello> [--short]  peak resident memory of two host-mode shows (two
//                                          monitors) and a settings preview
//   host_bench huge <tavello> [--short]    peak memory and processor time of a show in a host
//                                          window of 32767 x 32767, against one the size of
//                                          the screen, over the same picture changes
//
// --smoke (one round, a 600 × 400 photo, a second or less of each show) only proves the benchmark
// runs. Prints one "RESULT name value unit" line per figure, and exits 1 when a target is missed,
// 2 when the benchmark cannot run.

#include "BenchCommon.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <map>
#include <vector>

// Last: Xlib's macros (None, Bool, Status, ...) would break the toolkit's headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace tavello::bench;

namespace {

constexpr double kLaunchTargetMs = 250;
constexpr double kCpuTargetPercent = 1.0;
constexpr double kMemoryTargetMb = 150;
const QRect kHostWindow(200, 150, 320, 240);

Display* gDisplay = nullptr;

// A stand-in host window, grey, placed exactly.
Window MakeHostWindow(const QRect& rect) {
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x404040;
    attributes.override_redirect = True;
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(
        gDisplay, DefaultRootWindow(gDisplay), rect.x(), rect.y(), unsigned(rect.width()),
        unsigned(rect.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XMapWindow(gDisplay, window);
    XEvent event;
    do XWindowEvent(gDisplay, window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    return window;
}

// Whether any pixel of the screen's rectangle is white, as the headline's text is.
bool HasWhite(const QRect& rect) {
    XImage* image = XGetImage(gDisplay, DefaultRootWindow(gDisplay), rect.x(), rect.y(),
                              unsigned(rect.width()), unsigned(rect.height()), AllPlanes, ZPixmap);
    if (!image) return false;
    bool white = false;
    for (int y = 0; y < rect.height() && !white; ++y)
        for (int x = 0; x < rect.width() && !white; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            white = (p & 0xff) > 200 && ((p >> 8) & 0xff) > 200 && ((p >> 16) & 0xff) > 200;
        }
    XDestroyImage(image);
    return white;
}

struct Run {
    QString tavello;
    QStringList args;
    std::map<QByteArray, QByteArray> env;
};

pid_t Start(const Run& run) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    for (const auto& [name, value] : run.env) setenv(name.constData(), value.constData(), 1);
    std::vector<QByteArray> words{QFile::encodeName(run.tavello)};
    for (const QString& arg : run.args) words.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// A settings folder of its own (settings, music lock, runtime files) for one case.
std::map<QByteArray, QByteArray> CaseFolder(const QString& folder, const QString& speed,
                                            const QString& music, const QStringList& pictures) {
    QDir().mkpath(folder + "/config/tavello");
    QDir().mkpath(folder + "/tmp");
    QDir().mkpath(folder + "/run");
    QFile::setPermissions(folder + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile file(folder + "/config/tavello/TAVELLO.INI");
    file.open(QIODevice::WriteOnly);
    const QStringList lines =
        QStringList{speed, "IPAGothic", "40", "画面の大きさに調整", music, "TAVELLO", "0"} +
        pictures;
    for (const QString& line : lines) file.write(line.toUtf8() + "\r\n");
    return {{"XDG_CONFIG_HOME", QFile::encodeName(folder + "/config")},
            {"XDG_RUNTIME_DIR", QFile::encodeName(folder + "/run")},
            {"TMPDIR", QFile::encodeName(folder + "/tmp")},
            {"SDL_AUDIODRIVER", "dummy"}};
}

// Milliseconds from the start until white shows in rect; -1 when it never does (10 s).
double LaunchToHeadline(const Run& run, const QRect& rect) {
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = Start(run);
    double ms = -1;
    while (timer.elapsed() < 10000) {
        if (HasWhite(rect)) {
            ms = MsSince(timer);
            break;
        }
        usleep(1000);
    }
    Stop(pid);
    for (int i = 0; i < 2000 && HasWhite(rect); ++i) usleep(1000);  // gone before the next
    return ms;
}

int LaunchBench(const QString& tavello, Length length, const QString& folder) {
    const QString music = QStringLiteral(TAVELLO_SAMPLE_MUSIC_DIR);
    const QString songs[] = {"", music + "/sample.wav", music + "/sample.mid"};
    const char* songNames[] = {"none", "wav", "midi"};
    const Window host = MakeHostWindow(kHostWindow);
    const QRect screen(0, 0, DisplayWidth(gDisplay, 0), DisplayHeight(gDisplay, 0));
    const QRect headlineStrip(0, screen.height() / 2 - 40, screen.width(), 80);

    struct Case {
        QString name;
        Run run;
        QRect watched;
        std::vector<double> times;
    };
    std::vector<Case> cases;
    for (const bool hosted : {true, false}) {
        for (int s = 0; s < 3; ++s) {
            const QString name =
                QString("launch_%1_%2").arg(hosted ? "host" : "classic", songNames[s]);
            Run run{tavello, hosted ? QStringList{"--root"} : QStringList{"/S"},
                    CaseFolder(folder + "/" + name, "10", songs[s], {})};
            if (hosted) run.env["XSCREENSAVER_WINDOW"] = QByteArray::number(qulonglong(host));
            cases.push_back({name, run, hosted ? kHostWindow : headlineStrip, {}});
        }
    }
    // Rounds go through every case in turn, so a busy moment of the machine is shared out.
    const int rounds = ByLength(length, 9, 3, 1);
    for (int round = 0; round < rounds; ++round)
        for (Case& c : cases) c.times.push_back(LaunchToHeadline(c.run, c.watched));

    int status = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Case& c = cases[i];
        if (!AllTaken(c.times)) {
            std::fprintf(stderr, "host_bench: %s never showed its headline\n", qPrintable(c.name));
            return 2;
        }
        const double median = Median(c.times);
        Result(qPrintable(c.name + "_ms"), median, "ms (target < 250)");
        if (i % 3 != 0)
            Result(qPrintable(c.name + "_extra_ms"), median - Median(cases[i - i % 3].times),
                   "ms over no music");
        if (median >= kLaunchTargetMs) status = 1;
    }
    XDestroyWindow(gDisplay, host);
    return Verdict(length, status == 0);
}

double CpuSeconds(pid_t pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

int CpuBench(const QString& tavello, Length length, const QString& folder) {
    const int speed = ByLength(length, 10, 5, 1);
    const QString picture = QStringLiteral(TAVELLO_SAMPLE_ALBUM_DIR) + "/01-dusk-1600x1200.jpg";
    const QRect screen(0, 0, DisplayWidth(gDisplay, 0), DisplayHeight(gDisplay, 0));
    const Window host = MakeHostWindow(screen);
    Run run{
        tavello, {"--root"}, CaseFolder(folder + "/cpu", QString::number(speed), "", {picture})};
    run.env["XSCREENSAVER_WINDOW"] = QByteArray::number(qulonglong(host));
    const pid_t pid = Start(run);
    // The headline stands for one interval, then the picture comes up; measure the next one.
    QThread::msleep(ByLength(length, speed * 1000 + 2000, speed * 1000 + 2000, 1000));
    const double startCpu = CpuSeconds(pid);
    QElapsedTimer wall;
    wall.start();
    QThread::msleep(ByLength(length, (speed - 1) * 1000, (speed - 1) * 1000, 300));
    const double endCpu = CpuSeconds(pid);
    const double wallMs = MsSince(wall);
    Stop(pid);
    XDestroyWindow(gDisplay, host);
    if (startCpu < 0 || endCpu < 0) {
        std::fprintf(stderr, "host_bench: the show ended early\n");
        return 2;
    }
    const double share = 100 * (endCpu - startCpu) * 1000 / wallMs;
    Result("host_cpu_time_ms", (endCpu - startCpu) * 1000, "ms");
    Result("host_wall_time_ms", wallMs, "ms");
    Result("host_cpu_share", share, "% of one core (target <= 1)");
    return Verdict(length, share <= kCpuTargetPercent);
}

double PeakMb(pid_t pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    return -1;
}

// Two shows on two "monitors" and a preview, changing big photos every second for a while.
int MemoryRun(const QString& tavello, Length length, const QString& folder, const QString& song,
              const char* label) {
    const QSize photo = ByLength(length, QSize(6000, 4000), QSize(6000, 4000), QSize(600, 400));
    const QString pictures = folder + "/photos";
    QDir().mkpath(pictures);
    QStringList photos;
    for (int i = 0; i < 3; ++i) {
        const QString path = QString("%1/photo%2.jpg").arg(pictures).arg(i);
        if (!QFile::exists(path) && !WriteJpeg(path, PhotoLikePicture(photo, i + 1))) return 2;
        photos << path;
    }
    const QRect screen(0, 0, DisplayWidth(gDisplay, 0), DisplayHeight(gDisplay, 0));
    const Window left = MakeHostWindow(screen);
    const Window right = MakeHostWindow(screen);
    const Window preview = MakeHostWindow(QRect(600, 400, 256, 192));
    const auto env = CaseFolder(folder + "/" + label, "1", song, photos);
    std::vector<pid_t> pids;
    for (const Window window : {left, right}) {
        Run run{tavello, {"--root"}, env};
        run.env["XSCREENSAVER_WINDOW"] = QByteArray::number(qulonglong(window));
        pids.push_back(Start(run));
    }
    pids.push_back(Start({tavello, {"--root", "--window-id", QString::number(preview)}, env}));
    QThread::msleep(ByLength(length, 20000, 8000, 500));
    const char* names[] = {"first", "second", "preview"};
    int status = 0;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const double peak = PeakMb(pids[i]);
        Stop(pids[i]);
        if (peak < 0) return 2;
        Result(qPrintable(QString("host_rss_%1_%2_mb").arg(label, names[i])), peak,
               "MB (target < 150)");
        if (peak >= kMemoryTargetMb) status = 1;
    }
    for (const Window window : {left, right, preview}) XDestroyWindow(gDisplay, window);
    return Verdict(length, status == 0);
}

int MemoryBench(const QString& tavello, Length length, const QString& folder) {
    const QString music = QStringLiteral(TAVELLO_SAMPLE_MUSIC_DIR);
    const int wav = MemoryRun(tavello, length, folder, music + "/sample.wav", "wav");
    // The MIDI player also holds the whole General-MIDI soundfont.
    const int midi = MemoryRun(tavello, length, folder, music + "/sample.mid", "midi");
    return std::max(wav, midi);
}

struct Cost {
    double peakMb = -1;
    double cpuSeconds = -1;
};

// A show in a host window of the given size, changing pictures every second for a while.
Cost HostedCost(const QString& tavello, Length length, const QString& folder, const QSize& size) {
    const QString picture = QStringLiteral(TAVELLO_SAMPLE_ALBUM_DIR) + "/01-dusk-1600x1200.jpg";
    const Window host = MakeHostWindow(QRect(QPoint(0, 0), size));
    Run run{tavello,
            {"--root"},
            CaseFolder(folder + QString("/%1").arg(size.width()), "1", "", {picture, picture})};
    run.env["XSCREENSAVER_WINDOW"] = QByteArray::number(qulonglong(host));
    const pid_t pid = Start(run);
    QThread::msleep(ByLength(length, 10000, 5000, 500));
    const Cost cost{PeakMb(pid), CpuSeconds(pid)};
    Stop(pid);
    XDestroyWindow(gDisplay, host);
    return cost;
}

int HugeBench(const QString& tavello, Length length, const QString& folder) {
    const QSize screen(DisplayWidth(gDisplay, 0), DisplayHeight(gDisplay, 0));
    const Cost base = HostedCost(tavello, length, folder, screen);
    const Cost huge = HostedCost(tavello, length, folder, QSize(32767, 32767));
    if (base.peakMb < 0 || huge.peakMb < 0 || base.cpuSeconds <= 0 || huge.cpuSeconds < 0) {
        std::fprintf(stderr, "host_bench: a show ended early\n");
        return 2;
    }
    const double memory = huge.peakMb / base.peakMb;
    const double cpu = huge.cpuSeconds / base.cpuSeconds;
    Result("host_huge_rss_mb", huge.peakMb, "MB");
    Result("host_screen_rss_mb", base.peakMb, "MB");
    Result("host_huge_rss_ratio", memory, "x a screen-sized window (target <= 1.3)");
    Result("host_huge_cpu_ratio", cpu, "x a screen-sized window (target <= 1.5)");
    return Verdict(length, memory <= 1.3 && cpu <= 1.5);
}

}  // namespace

int main(int argc, char** argv) {
    BenchApp<QCoreApplication> bench(argc, argv);
    const QString mode = bench.args.value(0);
    const QString tavello = bench.args.value(1);
    if (tavello.isEmpty() || !QFile::exists(tavello)) {
        std::fprintf(stderr,
                     "usage: host_bench launch|cpu|memory|huge <tavello> [--short|--smoke]\n");
        return 2;
    }
    gDisplay = XOpenDisplay(nullptr);
    if (!gDisplay) {
        std::fprintf(stderr, "host_bench: no X display\n");
        return 2;
    }
    QTemporaryDir folder;
    int status = 2;
    if (mode == "launch") status = LaunchBench(tavello, bench.length, folder.path());
    if (mode == "cpu") status = CpuBench(tavello, bench.length, folder.path());
    if (mode == "memory") status = MemoryBench(tavello, bench.length, folder.path());
    if (mode == "huge") status = HugeBench(tavello, bench.length, folder.path());
    XCloseDisplay(gDisplay);
    return status;
}
