// A library of pictures as people keep it: one folder entry over 100 subfolders.
//
//   folder_bench scan [--short]   lists 10,000 and 100,000 empty files with picture names the way
//                                 the show does (file-manager order, kept as the show keeps them)
//                                 against `find DIR -type f | sort -V` in the same run, warm page
//                                 cache, median of 3 rounds (1 with --short). Target: at most
//                                 3 × find's time. Also the memory the 100,000 paths cost, as the
//                                 show keeps them and as a plain list of strings. Exits 1 when a
//                                 target is missed.
//   folder_bench show [--short]   the show itself, Speed 2 with a headline, over 100,000 small
//                                 JPEGs (10,000 with --short): time to the painted headline
//                                 (against a show with an empty list, in the same run),
//                                 time to the first picture (on time: just over 2 s), peak
//                                 resident memory (target < 150 MB) and its growth from the
//                                 headline to the first picture (target well under 30 MB).
//
//   folder_bench deep [--short]   a chain of folders 20,000 deep (2,000 with --short) with a
//                                 picture at its end: time to list it (target < 5 s); and one
//                                 folder of 100,000 files (10,000) named by 20 entries, against
//                                 one entry (target: at most 1.5 ×, the same pictures once).
//                                 Both again as the show lists them, each entry in a loader
//                                 process (MakeLoaderFolderScan), under the same targets.
//
// --smoke (100 and 1,000 files, once; the show over 100 pictures at Speed 0) only proves the
// benchmark runs. Exits 1 when a target is missed, 2 when the benchmark cannot run.

#include "BenchCommon.h"
#include "ShowFakes.h"
#include "loader/LoaderFolderScan.h"
#include "loader/LoaderMain.h"
#include "loader/PictureLoaderClient.h"
#include "music/Mci.h"
#include "platform/Cursor.h"
#include "platform/DeskGuard.h"
#include "platform/Password.h"
#include "platform/TickCount.h"
#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "saver/ShowList.h"
#include "saver/x11/X11Desk.h"
#include "settings/FolderEntry.h"
#include "toolkit/Toolkit.h"

#include <QApplication>
#include <QBuffer>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>

using namespace tavello;
using namespace tavello::bench;

namespace {

constexpr int kSubfolders = 100;

// count files named like a camera's, spread over 100 subfolders, each holding bytes.
bool MakeLibrary(const QString& root, int count, const QByteArray& bytes) {
    for (int f = 0; f < kSubfolders; ++f) {
        const QString folder = QStringLiteral("%1/%2").arg(root).arg(2000 + f);
        if (!QDir().mkpath(folder)) return false;
        for (int i = f; i < count; i += kSubfolders) {
            QFile file(QStringLiteral("%1/IMG_%2.jpg").arg(folder).arg(i, 6, 10, QChar(u'0')));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return false;
        }
    }
    return true;
}

double TimeFind(const QString& root) {
    QElapsedTimer timer;
    timer.start();
    QProcess sh;
    sh.setStandardOutputFile(QProcess::nullDevice());
    sh.start("sh", {"-c", "find \"$1\" -type f | sort -V", "sh", root});
    if (!sh.waitForFinished(600000) || sh.exitCode() != 0) return -1;
    return MsSince(timer);
}

double TimeScan(const QString& root, qsizetype expected) {
    QElapsedTimer timer;
    timer.start();
    const ShowList list =
        ExpandEntries({FolderEntryFor(root)},
                      [](const QString& entry, const auto& found, const auto& cancelled,
                         auto& seen) { VisitFolderEntry(entry, found, cancelled, &seen); });
    const double ms = MsSince(timer);
    return list.size() == expected ? ms : -1;
}

// 0 when the scan meets its target, 1 when it misses it, 2 when it cannot run.
int ScanAgainstFind(int count, Length length) {
    const int rounds = ByLength(length, 3, 1, 1);
    QTemporaryDir dir;
    if (!dir.isValid() || !MakeLibrary(dir.path(), count, {})) return 2;
    TimeFind(dir.path());  // the page cache warm for both
    std::vector<double> find, scan;
    for (int i = 0; i < rounds; ++i) {  // interleaved, so machine load affects both alike
        find.push_back(TimeFind(dir.path()));
        scan.push_back(TimeScan(dir.path(), count));
    }
    if (!AllTaken(find) || !AllTaken(scan)) return 2;
    const QByteArray name = QByteArray::number(count / 1000) + "k";
    Result(("find_sort_" + name + "_ms").constData(), Median(find), "ms");
    Result(("scan_" + name + "_ms").constData(), Median(scan), "ms");
    Result(("scan_vs_find_" + name).constData(), Median(scan) / Median(find), "x (target <= 3)");
    return Verdict(length, Median(scan) <= 3 * Median(find));
}

// The memory 100,000 paths cost: as the show keeps them, and as a plain list of strings.
int PathMemory(Length length) {
    QTemporaryDir dir;
    const int count = ByLength(length, 100000, 100000, 1000);
    if (!dir.isValid() || !MakeLibrary(dir.path(), count, {})) return 2;
    const double before = ProcStatusKb("VmRSS:") / 1024.0;
    ShowList list = ExpandEntries({FolderEntryFor(dir.path())},
                                  [](const QString& e, const auto& found, const auto& cancelled,
                                     auto& seen) { VisitFolderEntry(e, found, cancelled, &seen); });
    const double kept = ProcStatusKb("VmRSS:") / 1024.0;
    const QStringList plain = ScanFolderEntry(FolderEntryFor(dir.path()));
    const double plainRss = ProcStatusKb("VmRSS:") / 1024.0;
    if (list.size() != count || plain.size() != count) return 2;
    Result("paths_100k_kept_mb", double(list.bytes()) / (1024 * 1024),
           "MB (as the show keeps them)");
    Result("paths_100k_rss_growth_mb", kept - before, "MB");
    Result("paths_100k_stringlist_rss_mb", plainRss - kept, "MB (a plain QStringList)");
    return Verdict(length, kept - before < 30);
}

int Scan(Length length) {
    int status = 0;
    const int small = ByLength(length, 10000, 10000, 100);
    for (const int count : {small, 10 * small}) {
        const int scan = ScanAgainstFind(count, length);
        if (scan != 0)
            std::fprintf(stderr, "folder_bench: the %d-picture scan %s\n", count,
                         scan == 1 ? "missed its target" : "failed");
        status = std::max(status, scan);
    }
    const int memory = PathMemory(length);
    if (memory != 0)
        std::fprintf(stderr, "folder_bench: %s\n",
                     memory == 1 ? "the paths cost too much memory" : "the paths' scan failed");
    return std::max(status, memory);
}

// A chain of levels folders "d" below root, with a picture at its end. Made relative to each
// folder, since its path soon gets longer than a path may be.
bool MakeChain(const QString& root, int levels) {
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < levels && fd >= 0; ++i) {
        const int next =
            ::mkdirat(fd, "d", 0700) == 0 ? ::openat(fd, "d", O_RDONLY | O_DIRECTORY) : -1;
        ::close(fd);
        fd = next;
    }
    if (fd < 0) return false;
    ::close(::openat(fd, "p.jpg", O_WRONLY | O_CREAT, 0600));
    ::close(fd);
    return true;
}

// The scan in this process, as the settings dialog lists.
void ScanHere(const QString& entry, const std::function<void(const QString&)>& found,
              const ScanCancelled& cancelled, FoldersSeen& seen) {
    VisitFolderEntry(entry, found, cancelled, &seen);
}

double TimeEntries(const QStringList& entries, qsizetype expected,
                   const FolderScan& scan = ScanHere) {
    QElapsedTimer timer;
    timer.start();
    const ShowList list = ExpandEntries(entries, scan);
    const double ms = MsSince(timer);
    return list.size() == expected ? ms : -1;
}

int Deep(Length length) {
    const int levels = ByLength(length, 20000, 2000, 200);
    const int files = ByLength(length, 100000, 10000, 100);
    QTemporaryDir chain, library;
    if (!chain.isValid() || !library.isValid() || !MakeChain(chain.path(), levels) ||
        !MakeLibrary(library.path(), files, {}))
        return 2;
    const double deepMs = TimeEntries({FolderEntryFor(chain.path())}, 1);
    // As the show lists: each entry in a confined loader process (this program is its own).
    const FolderScan inLoader = MakeLoaderFolderScan();
    const double deepLoaderMs = TimeEntries({FolderEntryFor(chain.path())}, 1, inLoader);
    // QTemporaryDir's removal names whole paths, so it cannot reach the chain's end.
    QProcess::execute("rm", {"-rf", "--", chain.path() + "/d"});
    const QString entry = FolderEntryFor(library.path());
    TimeEntries({entry}, files);  // the page cache warm
    const double oneMs = TimeEntries({entry}, files);
    QStringList twenty;
    for (int i = 0; i < 20; ++i) twenty << entry;
    const double twentyMs = TimeEntries(twenty, files);
    const double oneLoaderMs = TimeEntries({entry}, files, inLoader);
    const double twentyLoaderMs = TimeEntries(twenty, files, inLoader);
    if (deepMs < 0 || oneMs < 0 || twentyMs < 0 || deepLoaderMs < 0 || oneLoaderMs < 0 ||
        twentyLoaderMs < 0)
        return 2;
    const QByteArray name = QByteArray::number(levels);
    Result(("chain_" + name + "_deep_ms").constData(), deepMs, "ms (target < 5000)");
    Result("one_entry_ms", oneMs, "ms");
    Result("twenty_entries_ms", twentyMs, "ms");
    Result("twenty_vs_one_entry", twentyMs / oneMs, "x (target <= 1.5)");
    Result(("loader_chain_" + name + "_deep_ms").constData(), deepLoaderMs, "ms (target < 5000)");
    Result("loader_one_entry_ms", oneLoaderMs, "ms");
    Result("loader_twenty_entries_ms", twentyLoaderMs, "ms");
    Result("loader_twenty_vs_one_entry", twentyLoaderMs / oneLoaderMs, "x (target <= 1.5)");
    Result("loader_vs_here_one_entry", oneLoaderMs / oneMs, "x");
    return Verdict(length, deepMs < 5000 && twentyMs <= 1.5 * oneMs && deepLoaderMs < 5000 &&
                               twentyLoaderMs <= 1.5 * oneLoaderMs);
}

// The show's own event loop, timing the headline's paint and the first picture, ending the show
// after the third.
struct ShowTimes {
    void Changed() {
        if (++changes == 1) {
            firstMs = MsSince(timer.timer);
            firstRssMb = ProcStatusKb("VmRSS:") / 1024.0;
        }
        if (changes == 3) timer.form->close();
    }
    HeadlineTimer timer;
    double firstMs = -1, headlineRssMb = 0, firstRssMb = 0;
    int changes = 0;
};

QByteArray SmallJpeg() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    PhotoLikePicture(QSize(64, 48), 7).save(&buffer, "JPEG");
    return bytes;
}

struct ShowRun {
    ShowTimes waiter;
    std::optional<qsizetype> listed;
};

void RunShow(const QString& settings, ShowRun& run) {
    EndlessMusic music;
    NoPassword password;
    ClockSeededRandom random;
    PictureLoaderClient pictures;
    SaverDeps deps;
    deps.pictures = &pictures;
    deps.services.ticks = &SystemTicks();
    deps.services.cursor = &SystemCursor();
    deps.services.password = &password;
    deps.services.mci = &music;
    deps.services.desk = &SystemDeskGuard();
    deps.timer = &run.waiter.timer;
    deps.random = &random;
    deps.screenTwips = ScreenSizeTwips();
    deps.settingsPath = settings;
    deps.desk = MakeX11Desk;
    Form1 form(deps);
    run.waiter.timer.form = &form;
    run.waiter.timer.onHeadline = [&run] {
        run.waiter.headlineRssMb = ProcStatusKb("VmRSS:") / 1024.0;
    };
    QObject::connect(&form, &Form1::pictureChanged, [&run] { run.waiter.Changed(); });
    run.waiter.timer.timer.start();
    RunShowToEnd(form);
    run.listed = form.ExpandedCount();
}

bool WriteSettings(const QString& path, const QByteArray& speed, const QString& entry) {
    QFile file(path);
    const QByteArray text = speed + "\r\nSans\r\n36\r\n100%\r\n\r\nTAVELLO\r\n0\r\n" +
                            entry.toUtf8() + (entry.isEmpty() ? "" : "\r\n");
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

int Show(Length length) {
    const int count = ByLength(length, 100000, 10000, 100);
    // Speed 0 changes pictures at once: the smoke run proves the show runs without its wait.
    const QByteArray speed = length == Length::Smoke ? "0" : "2";
    QTemporaryDir dir;
    const QString library = dir.path() + QStringLiteral("/Pictures");
    const QString empty = dir.path() + QStringLiteral("/empty.ini");
    const QString folder = dir.path() + QStringLiteral("/folder.ini");
    if (!dir.isValid() || !MakeLibrary(library, count, SmallJpeg()) ||
        !WriteSettings(empty, speed, {}) ||
        !WriteSettings(folder, speed, FolderEntryFor(library))) {
        std::fprintf(stderr, "folder_bench: cannot prepare the show\n");
        return 2;
    }
    TimeFind(library);  // the page cache warm

    ShowRun baseline, shown;
    RunShow(empty, baseline);
    RunShow(folder, shown);
    const double peakMb = ProcStatusKb("VmHWM:") / 1024.0;
    const ShowTimes& w = shown.waiter;
    if (baseline.waiter.changes < 3 || w.changes < 3 || shown.listed != count) {
        std::fprintf(stderr, "folder_bench: the show did not run over the library\n");
        return 2;
    }
    const QByteArray name = QByteArray::number(count / 1000) + "k";
    Result("show_empty_list_headline_ms", baseline.waiter.timer.headlineMs, "ms");
    Result(("show_" + name + "_headline_ms").constData(), w.timer.headlineMs,
           "ms (as with an empty list)");
    Result(("show_" + name + "_first_picture_ms").constData(), w.firstMs,
           "ms (on time: just over 2000)");
    Result(("show_" + name + "_peak_rss_mb").constData(), peakMb, "MB (target < 150)");
    Result(("show_" + name + "_rss_growth_mb").constData(), w.firstRssMb - w.headlineRssMb,
           "MB (headline to first picture; < 30)");
    const bool met = peakMb < 150 && w.firstRssMb - w.headlineRssMb < 30 && w.firstMs < 2500;
    return Verdict(length, met);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kPictureLoaderOption) == 0)
        return RunPictureLoader(argc, argv);
    OffscreenUnlessChosen();
    BenchApp<QApplication> bench(argc, argv);
    const QString mode = bench.args.isEmpty() ? QString() : bench.args.takeFirst();
    if (mode == "scan") return Scan(bench.length);
    if (mode == "show") return Show(bench.length);
    if (mode == "deep") return Deep(bench.length);
    std::fprintf(stderr, "usage: folder_bench scan|show|deep [--short|--smoke]\n");
    return 2;
}
