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

#include "PictureBenchKit.h"
#include "loader/LoaderMain.h"
#include "toolkit/ImageControl.h"
#include "toolkit/Picture.h"

#include <turbojpeg.h>
#include <QApplication>
#include <QDir>
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
