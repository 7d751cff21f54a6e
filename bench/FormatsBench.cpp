// The picture benchmarks of every format: each format's photo decoded to the screen's fit against
// its reference decoder and library, and the same photos through the show's loader process.

#include "PictureBenchKit.h"
#include "ReferenceDecode.h"
#include "loader/PictureLoaderClient.h"
#include "toolkit/Picture.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <vector>

namespace tavello::bench {

namespace {

qint64 DecodeCostKb(const QString& who, const QString& format, const QString& path, QSize shown) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"decode-cost", who, format, path, QString::number(shown.width()),
                 QString::number(shown.height())});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) return -1;
    return child.readAllStandardOutput().trimmed().toLongLong();
}

// The cost of one picture change in a warm process: our decode at the screen's fit against the
// format's reference library called the same way in this process, both timed over the same rounds
// (interleaved, so machine load affects both alike), and the peak memory each adds to a warm
// process of its own. True when both are within 1.3 times the reference's, or there is no
// reference.
bool InProcessCost(const QString& format, const QString& path, QSize shown, Length length) {
    const QString library = ReferenceLibrary(format);
    const auto ours = [&] {
        const std::optional<LoadedPicture> picture = LoadPicture(path, shown);
        return picture && picture->image.size() == shown;
    };
    const auto theirs = [&] { return ReferenceDecode(format, path, shown); };
    if (library.isEmpty() || !ours() || !theirs()) return library.isEmpty();  // also warms up
    std::vector<double> oursMs, theirsMs;
    for (int i = 0; i < ByLength(length, 7, 3, 1); ++i) {
        QElapsedTimer timer;
        timer.start();
        ours();
        oursMs.push_back(MsSince(timer));
        timer.restart();
        theirs();
        theirsMs.push_back(MsSince(timer));
    }
    const qint64 oursKb = DecodeCostKb("ours", format, path, shown);
    const qint64 theirsKb = DecodeCostKb("reference", format, path, shown);
    const QByteArray name = format.toLatin1() + "_vs_" + library.toLatin1();
    const double time = Median(oursMs) / Median(theirsMs);
    const double peak = double(oursKb) / std::max<qint64>(theirsKb, 1);
    Result(format.toLatin1() + "_warm_ms", Median(oursMs), "ms (in-process)");
    Result(format.toLatin1() + "_" + library.toLatin1() + "_ms", Median(theirsMs),
           "ms (in-process)");
    Result(format.toLatin1() + "_warm_peak_mb", oursKb / 1024.0, "MB (peak growth, warm child)");
    Result(format.toLatin1() + "_" + library.toLatin1() + "_peak_mb", theirsKb / 1024.0,
           "MB (peak growth, warm child)");
    Result(name + "_warm_time", time, "x (in-process, target <= 1.3)");
    Result(name + "_warm_peak", peak, "x (warm child, target <= 1.3)");
    return oursKb >= 0 && theirsKb >= 0 && time <= 1.3 && peak <= 1.3;
}

// The time from asking the loader for the picture to its answer; -1 when none came.
double TimeThroughLoader(PictureLoaderClient& client, const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    bool shown = false;
    client.Request(
        path, ShowFit{QStringLiteral("100%"), double(kScreen.width()), double(kScreen.height()), 1},
        [&](std::optional<LoadedPicture> picture) {
            shown = picture && !picture->image.isNull();
            loop.quit();
        });
    loop.exec();
    return shown ? MsSince(timer) : -1;
}

// One format through a fresh loader: the median change time; prints the peaks of both sides.
double LoaderFormat(const QByteArray& name, const QString& path, int rounds) {
    ResetPeakMemory();
    PictureLoaderClient client;
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) times.push_back(TimeThroughLoader(client, path));
    const qint64 loaderKb = ProcStatus("VmHWM:", QString::number(client.loaderPid()));
    if (!AllTaken(times) || loaderKb < 0) return -1;
    Result(name + "_show_side_peak_mb", ProcStatusKb("VmHWM:") / 1024.0, "MB (target < 150)");
    Result(name + "_loader_peak_mb", loaderKb / 1024.0, "MB (target < 300)");
    Result(name + "_loader_change_ms", Median(times), "ms");
    return Median(times);
}

}  // namespace

// In a fresh process: how far a second decode at `shown`, ours or the reference library's, raises
// the peak resident memory, printed in kB.
int DecodeCostChild(const QStringList& args) {
    const QString format = args.value(2), path = args.value(3);
    const QSize shown(args.value(4).toInt(), args.value(5).toInt());
    const qint64 kb = PeakGrowthKb([&] {
        if (args.value(1) != "ours") return ReferenceDecode(format, path, shown);
        const std::optional<LoadedPicture> picture = LoadPicture(path, shown);
        return picture && picture->image.size() == shown;
    });
    std::printf("%lld\n", kb);
    return kb < 0 ? 2 : 0;
}

// Each format's 24-megapixel photo decoded to the screen's fit in a fresh process: its time and
// peak memory against the format's reference decoder in the same run.
int FormatsBench(Length length, const QString& folder) {
    const QSize photo = PhotoSize(length);
    const QSize shown = FitToScreen(photo);
    const QString png = QDir(folder).filePath("source.png");
    if (!PhotoLikePicture(photo, 11).save(png)) return 2;
    bool met = true;
    for (const QString format : {"jpg", "png", "webp", "tif", "heic", "avif"}) {
        const QString path = QDir(folder).filePath("photo." + format);
        if (!WriteFormat(png, path, format == "jpg" ? "jpeg" : format == "tif" ? "tiff" : format)) {
            std::printf("%s: could not be written, skipped\n", qPrintable(format));
            continue;
        }
        met = InProcessCost(format, path, shown, length) && met;
        const ChildRun ours =
            RunTimed({QCoreApplication::applicationFilePath(), "decode-webp", path,
                      QString::number(shown.width()), QString::number(shown.height())});
        if (ours.peakKb < 0) return 2;
        const QByteArray name = format.toLatin1();
        Result(name + "_fit_ms", ours.ms, "ms (whole process)");
        Result(name + "_fit_peak_mb", ours.peakKb / 1024.0, "MB (whole process)");
        const QStringList reference = ReferenceCommand(format, path, shown, folder);
        const ChildRun theirs = reference.isEmpty() ? ChildRun() : RunTimed(reference);
        if (theirs.peakKb < 0) {
            std::printf("%s: no reference decoder ran\n", name.constData());
            continue;
        }
        Result(name + "_vs_" + reference[0].toLatin1() + "_time", ours.ms / theirs.ms, "x");
        Result(name + "_vs_" + reference[0].toLatin1() + "_peak",
               double(ours.peakKb) / theirs.peakKb, "x");
    }
    return Verdict(length, met);
}

// In a fresh process: the median time of LoadPicture at `shown`, its plugins loaded before.
int DecodeTimeChild(const QStringList& args) {
    const QString path = args.value(1);
    const QSize shown(args.value(2).toInt(), args.value(3).toInt());
    if (!ReadPictureSize(path)) return 2;
    std::vector<double> times;
    for (int i = 0; i < args.value(4).toInt(); ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!LoadPicture(path, shown)) return 2;
        times.push_back(MsSince(timer));
    }
    std::printf("%.3f\n", Median(times));
    return 0;
}

int LoaderBench(Length length, const QString& folder) {
    QProcess maker;
    QStringList makerArgs{"make-formats", folder};
    if (length == Length::Smoke) makerArgs << "--smoke";
    maker.start(QCoreApplication::applicationFilePath(), makerArgs);
    if (!maker.waitForFinished(900000) || maker.exitCode() != 0) return 2;
    const QSize shown = FitToScreen(PhotoSize(length));
    const int rounds = ByLength(length, 5, 3, 1);
    for (const QString& format : kFormats) {
        const QString path = QDir(folder).filePath("photo." + format);
        if (!QFile::exists(path)) continue;
        const QByteArray name = format.toLatin1();
        const double loaderMs = LoaderFormat(name, path, rounds);
        if (loaderMs < 0) return 2;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"decode-time", path, QString::number(shown.width()),
                     QString::number(shown.height()), QString::number(rounds)});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) return 2;
        const double ownMs = child.readAllStandardOutput().trimmed().toDouble();
        Result(name + "_in_process_ms", ownMs, "ms");
        Result(name + "_loader_vs_in_process", loaderMs / ownMs, "x");
        const QStringList reference = ReferenceCommand(format, path, shown, folder);
        std::vector<double> theirs;
        for (int i = 0; i < rounds && !reference.isEmpty(); ++i)
            theirs.push_back(RunTimed(reference).ms);
        if (theirs.empty()) continue;
        Result(name + "_" + reference[0].toLatin1() + "_ms", Median(theirs), "ms (whole process)");
        Result(name + "_loader_vs_reference", loaderMs / Median(theirs), "x (target <= 1.3)");
    }
    return Verdict(length, true);
}

}  // namespace tavello::bench
