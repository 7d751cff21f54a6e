// Speed and memory of picture loading, each reported against a baseline measured in the same run.
//
//   picture_bench decode [--short|--smoke]   decode time of a 6000 × 4000 JPEG fitted to
//                                            1920 × 1080, against libjpeg-turbo's djpeg -scale 1/4
//                                            (and in-process libturbojpeg at 1/4); time to put up
//                                            a prepared picture
//   picture_bench memory [--short|--smoke]   peak resident memory over many changes of
//                                            24-megapixel JPEGs through the prefetcher, against
//                                            the resident size before
//   picture_bench webp [--smoke]             peak memory of decoding a 24-megapixel WebP fitted
//                                            to 1920 × 1080, in a fresh process, against
//                                            dwebp -scale (its peak taken by GNU time)
//   picture_bench formats [--smoke]          time and peak memory of a 24-megapixel JPEG, PNG,
//   WebP,
//                                            TIFF, HEIC and AVIF fitted to 1920 × 1080, each in a
//                                            fresh process, against djpeg -scale, dwebp -scale,
//                                            tiff2rgba, heif-convert and avifdec; then in a
//                                            warm process against each format's library
//                                            (libturbojpeg, libpng, libwebp, libtiff, libheif,
//                                            libavif), time, and peak growth in a warm child
//   picture_bench loader [--smoke]           the same photos through the show's loader process
//                                            (PictureLoaderClient; this program is its own
//                                            loader): time per picture change against the
//                                            in-process decode and the reference decoder, peak
//                                            memory of this side and of the loader
//
// --smoke uses 2400 × 1600 pictures (still fitted down to the screen: decoding never enlarges)
// and a single round or three changes, only to prove the benchmark runs. Prints one "RESULT name
// value unit" line per figure, and exits 1 when a target is missed, 2 when the benchmark cannot
// run.

#include "BenchCommon.h"
#include "ReferenceDecode.h"
#include "loader/LoaderMain.h"
#include "loader/PictureLoaderClient.h"
#include "toolkit/ImageControl.h"
#include "toolkit/Picture.h"

#include <turbojpeg.h>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

using namespace tavello;
using namespace tavello::bench;

namespace {

constexpr QSize kScreen(1920, 1080);
constexpr QSize kPhoto(6000, 4000);
constexpr QSize kSmokePhoto(2400, 1600);

QSize PhotoSize(Length length) {
    return length == Length::Smoke ? kSmokePhoto : kPhoto;
}

bool WritePhoto(const QString& path, QSize size, quint32 seed) {
    return WriteJpeg(path, PhotoLikePicture(size, seed));
}

// The picture's size fitted into the screen, keeping its proportions.
QSize FitToScreen(QSize own) {
    return own.scaled(kScreen, Qt::KeepAspectRatio);
}

double TimeTurboJpeg(const QByteArray& jpeg) {
    QElapsedTimer timer;
    timer.start();
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    tjDecompressHeader3(handle, data, jpeg.size(), &width, &height, &subsampling, &colorspace);
    const int outW = TJSCALED(width, (tjscalingfactor{1, 4}));
    const int outH = TJSCALED(height, (tjscalingfactor{1, 4}));
    std::vector<unsigned char> pixels(size_t(outW) * outH * 4);
    tjDecompress2(handle, data, jpeg.size(), pixels.data(), outW, 0, outH, TJPF_BGRX, 0);
    tjDestroy(handle);
    return MsSince(timer);
}

// Puts a picture up the way the show does: picture, stretch, size, centre, show, paint.
void PutUp(QWidget& screen, ImageControl& image, const LoadedPicture& picture, QSize shown) {
    image.setVisible(false);
    image.setStretch(false);
    image.setPicture(picture);
    image.setStretch(true);
    image.setHeight(shown.height());
    image.setWidth(shown.width());
    image.setTop(kScreen.height() / 2.0 - image.Height() / 2);
    image.setLeft(kScreen.width() / 2.0 - image.Width() / 2);
    image.setVisible(true);
    screen.repaint();
}

struct Screen {
    Screen() : image(&window) {
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(Qt::black));
        window.resize(kScreen);
        image.setEnabled(false);
        window.show();
        QApplication::processEvents();
    }
    QWidget window;
    ImageControl image;
};

int DecodeBench(Length length, const QString& folder) {
    const QSize photo = PhotoSize(length);
    const QString path = QDir(folder).filePath("photo.jpg");
    if (!WritePhoto(path, photo, 7)) return 2;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    std::printf("photo: %dx%d, %.1f MB\n", photo.width(), photo.height(), bytes.size() / 1e6);
    const QSize shown = FitToScreen(photo);

    const int rounds = ByLength(length, 21, 5, 1);
    std::vector<double> ours, djpeg, turbo;
    for (int i = 0; i < rounds; ++i) {  // interleaved, so machine load affects all alike
        QElapsedTimer timer;
        timer.start();
        std::optional<LoadedPicture> picture = LoadPicture(path, shown);
        ours.push_back(MsSince(timer));
        if (!picture || picture->image.size() != shown) return 2;
        djpeg.push_back(TimeDjpeg(path, "1/4"));
        turbo.push_back(TimeTurboJpeg(bytes));
    }
    if (!AllTaken(djpeg)) return 2;
    Result("decode_fit_ms", Median(ours), "ms");
    Result("djpeg_quarter_ms", Median(djpeg), "ms");
    Result("turbojpeg_quarter_ms", Median(turbo), "ms");
    const double ratio = Median(ours) / Median(djpeg);
    Result("decode_vs_djpeg", ratio, "x (target <= 1.3)");
    Result("decode_vs_turbojpeg", Median(ours) / Median(turbo), "x (in-process, information)");

    // A prefetch hit: the picture was prepared while the previous one stood.
    Screen screen;
    PicturePrefetcher prefetcher;
    std::vector<double> putUp;
    for (int i = 0; i < ByLength(length, 10, 3, 1); ++i) {
        prefetcher.request(path, shown);
        while (!prefetcher.ready(path, shown))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        QElapsedTimer timer;
        timer.start();
        std::optional<LoadedPicture> picture = prefetcher.take(path, shown);
        if (!picture) return 2;
        PutUp(screen.window, screen.image, *picture, shown);
        putUp.push_back(MsSince(timer));
        screen.image.clearPicture();
        screen.window.repaint();
    }
    Result("put_up_prepared_ms", Median(putUp), "ms (target < 16)");
    Result("put_up_vs_frame", Median(putUp) / 16.0, "x of a 16 ms frame");
    return Verdict(length, ratio <= 1.3 && Median(putUp) < 16);
}

int MemoryBench(Length length, const QString& folder) {
    // The photos are drawn by a child process, so their drawing does not count as our peak.
    const int photos = 3;
    QStringList paths;
    for (int i = 0; i < photos; ++i) paths << QDir(folder).filePath(QString("photo-%1.jpg").arg(i));
    QProcess maker;
    QStringList makerArgs{"make-photos"};
    if (length == Length::Smoke) makerArgs << "--smoke";
    maker.start(QCoreApplication::applicationFilePath(), makerArgs << paths);
    if (!maker.waitForFinished(600000) || maker.exitCode() != 0) return 2;

    Screen screen;
    PicturePrefetcher prefetcher;
    const qint64 baselineKb = ProcStatusKb("VmRSS:");
    const int changes = ByLength(length, 500, 60, 3);
    qint64 warmKb = 0, lastKb = 0;
    QSize nextShown = FitToScreen(*ReadPictureSize(paths[0]));
    for (int i = 0; i < changes; ++i) {
        const QString& path = paths[i % photos];
        const QSize shown = nextShown;
        std::optional<LoadedPicture> picture = prefetcher.take(path, shown);
        if (!picture) return 2;
        PutUp(screen.window, screen.image, *picture, shown);
        const QString& next = paths[(i + 1) % photos];
        nextShown = FitToScreen(*ReadPictureSize(next));
        prefetcher.request(next, nextShown);
        lastKb = ProcStatusKb("VmRSS:");
        if (i == changes / 10) warmKb = lastKb;
    }
    const double peakMb = ProcStatusKb("VmHWM:") / 1024.0;
    Result("changes", changes, "");
    Result("rss_before_mb", baselineKb / 1024.0, "MB");
    Result("rss_after_10pct_mb", warmKb / 1024.0, "MB");
    Result("rss_at_end_mb", lastKb / 1024.0, "MB");
    Result("rss_peak_mb", peakMb, "MB (target < 150)");
    Result("peak_vs_before", peakMb * 1024 / baselineKb, "x");
    Result("growth_after_warmup_mb", (lastKb - warmKb) / 1024.0, "MB (flat: near 0)");
    return Verdict(length, peakMb < 150 && (lastKb - warmKb) < 10 * 1024);
}

// The peak resident memory of a program run to its end, in kB; -1 when it fails or cannot run.
// Measured by GNU time, a small process: a child started straight from this one would count this
// process's own peak as well, which the kernel carries over into the child's figure.
qint64 ChildPeakKb(const QStringList& command) {
    QProcess timed;
    timed.start("/usr/bin/time", QStringList{"-f", "%M"} + command);
    if (!timed.waitForFinished(600000) || timed.exitCode() != 0) return -1;
    const QList<QByteArray> lines = timed.readAllStandardError().trimmed().split('\n');
    bool number = false;
    const qint64 kb = lines.last().trimmed().toLongLong(&number);
    return number ? kb : -1;
}

// In a fresh process: how far loading the picture at `shown` raises the peak resident memory
// above what the process had reached before, printed in kB.
int DecodeWebpChild(const QStringList& args) {
    const QString path = args.value(1);
    const QSize shown(args.value(2).toInt(), args.value(3).toInt());
    if (!ReadPictureSize(path)) return 2;  // loads the image plugins, not counted
    const qint64 before = ProcStatusKb("VmHWM:");
    const std::optional<LoadedPicture> picture = LoadPicture(path, shown);
    if (!picture || picture->image.size() != shown) return 2;
    std::printf("%lld\n", ProcStatusKb("VmHWM:") - before);
    return 0;
}

int WebpBench(Length length, const QString& folder) {
    const QSize photo = PhotoSize(length);
    const QString path = QDir(folder).filePath("photo.webp");
    if (!PhotoLikePicture(photo, 5).save(path, "WEBP", 90)) return 2;
    std::printf("photo: %dx%d, %.1f MB\n", photo.width(), photo.height(), QFile(path).size() / 1e6);
    const QSize shown = FitToScreen(photo);
    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(),
        {"decode-webp", path, QString::number(shown.width()), QString::number(shown.height())});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) return 2;
    const double oursMb = child.readAllStandardOutput().trimmed().toLongLong() / 1024.0;
    Result("webp_fit_peak_delta_mb", oursMb, "MB (VmHWM rise in a fresh process)");
    const qint64 dwebpKb = ChildPeakKb({"dwebp", "-scale", QString::number(shown.width()),
                                        QString::number(shown.height()), path, "-pam", "-o",
                                        QDir(folder).filePath("dwebp.pam")});
    if (dwebpKb < 0) {
        std::printf("dwebp or GNU time not found or failed: no yardstick\n");
        return Verdict(length, true);
    }
    Result("dwebp_scale_peak_mb", dwebpKb / 1024.0, "MB (whole process)");
    Result("webp_vs_dwebp", oursMb * 1024 / dwebpKb, "x (target <= 1.5)");
    return Verdict(length, oursMb * 1024 <= 1.5 * dwebpKb);
}

// A program run to its end under GNU time: its peak resident memory in kB (-1 when it fails) and
// its wall time in ms.
struct ChildRun {
    qint64 peakKb = -1;
    double ms = 0;
};

ChildRun RunTimed(const QStringList& command) {
    QElapsedTimer timer;
    timer.start();
    const qint64 kb = ChildPeakKb(command);
    return {kb, MsSince(timer)};
}

// Writes the photo in `format` through Qt's writers or, for HEIC and AVIF, the encoders' own
// programs from a PNG of it; false when they are missing or fail.
bool WriteFormat(const QString& png, const QString& out, const QString& format) {
    const QImage photo(png);
    if (format == "heic" || format == "avif") {
        const QStringList command = format == "heic"
                                        ? QStringList{"heif-enc", "-q", "80", png, "-o", out}
                                        : QStringList{"avifenc", "-s", "10", "-y", "420", png, out};
        QProcess encoder;  // its chatter is not ours to print
        encoder.start(command[0], command.mid(1));
        return encoder.waitForFinished(600000) && encoder.exitCode() == 0;
    }
    return photo.save(out, format.toLatin1().constData(), 90);
}

// The reference decoder's command for `path`, fitted to `shown` where it can scale.
QStringList ReferenceCommand(const QString& format, const QString& path, QSize shown,
                             const QString& folder) {
    const QString out = QDir(folder).filePath("reference-out");
    if (format == "jpg") return {"djpeg", "-scale", "1/4", "-outfile", out + ".ppm", path};
    if (format == "webp") {
        return {"dwebp",
                "-scale",
                QString::number(shown.width()),
                QString::number(shown.height()),
                path,
                "-pam",
                "-o",
                out + ".pam"};
    }
    if (format == "tif") return {"tiff2rgba", path, out + ".tif"};
    if (format == "heic") return {"heif-convert", path, out + ".png"};
    if (format == "avif") return {"avifdec", "-j", "2", path, out + ".png"};
    return {};  // PNG: no reference decoder program that scales
}

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

const QStringList kFormats{"jpg", "png", "webp", "tif", "heic", "avif"};

// Writes the photo in every format into the folder; those that cannot be written are left out.
int MakeFormats(Length length, const QString& folder) {
    const QString png = QDir(folder).filePath("source.png");
    if (!PhotoLikePicture(PhotoSize(length), 11).save(png)) return 2;
    for (const QString& format : kFormats) {
        const QString path = QDir(folder).filePath("photo." + format);
        if (!WriteFormat(png, path, format == "jpg" ? "jpeg" : format == "tif" ? "tiff" : format))
            std::printf("%s: could not be written, skipped\n", qPrintable(format));
    }
    return 0;
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

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kPictureLoaderOption) == 0)
        return RunPictureLoader(argc, argv);
    OffscreenUnlessChosen();
    BenchApp<QApplication> bench(argc, argv);
    if (bench.args.value(0) == "make-photos") {
        for (int i = 1; i < bench.args.size(); ++i) {
            if (!WritePhoto(bench.args[i], PhotoSize(bench.length), quint32(i))) return 2;
        }
        return 0;
    }
    if (bench.args.value(0) == "decode-webp") return DecodeWebpChild(bench.args);
    if (bench.args.value(0) == "decode-cost") return DecodeCostChild(bench.args);
    if (bench.args.value(0) == "decode-time") return DecodeTimeChild(bench.args);
    if (bench.args.value(0) == "make-formats")
        return MakeFormats(bench.length, bench.args.value(1));
    QTemporaryDir folder;
    if (!folder.isValid()) return 2;
    if (bench.args.value(0) == "decode") return DecodeBench(bench.length, folder.path());
    if (bench.args.value(0) == "memory") return MemoryBench(bench.length, folder.path());
    if (bench.args.value(0) == "webp") return WebpBench(bench.length, folder.path());
    if (bench.args.value(0) == "formats") return FormatsBench(bench.length, folder.path());
    if (bench.args.value(0) == "loader") return LoaderBench(bench.length, folder.path());
    std::fprintf(stderr,
                 "usage: picture_bench decode|memory|webp|formats|loader [--short|--smoke]\n");
    return 2;
}
