#pragma once
// Helpers shared by the benchmarks: timing, medians, the RESULT lines, the djpeg baseline and
// photo-like test pictures.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tavello::bench {

// How long a benchmark runs: in full for its figures, short on a busy machine (CI), or a smoke
// run at the smallest sizes that only proves it still runs, whose figures judge nothing.
enum class Length { Full, Short, Smoke };

// Whether this is a smoke run, whose figures are printed without the targets they cannot judge.
inline bool g_smokeRun = false;

// Takes "--short" or "--smoke" out of the arguments.
inline Length TakeLength(QStringList& args) {
    const bool smoke = args.removeAll(QStringLiteral("--smoke")) > 0;
    const bool shortRun = args.removeAll(QStringLiteral("--short")) > 0;
    g_smokeRun = smoke;
    return smoke ? Length::Smoke : shortRun ? Length::Short : Length::Full;
}

// Benchmarks that draw do it on the offscreen platform unless one is chosen.
inline void OffscreenUnlessChosen() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

// A benchmark's application and its arguments after the program's name, the length taken out.
template <typename App>
struct BenchApp {
    BenchApp(int& argc, char** argv)
        : app(argc, argv), args(app.arguments().mid(1)), length(TakeLength(args)) {}

    App app;
    QStringList args;
    Length length;
};

template <typename T>
T ByLength(Length length, T full, T shortRun, T smoke) {
    return length == Length::Full ? full : length == Length::Short ? shortRun : smoke;
}

// The exit status of a benchmark that ran: 1 when a target is missed, never in a smoke run.
inline int Verdict(Length length, bool met) {
    return met || length == Length::Smoke ? 0 : 1;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double MsSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// Prints one "RESULT name value unit" line, at once, so a later crash cannot swallow it. A smoke
// run measures too little for its figure to mean anything: it says so and names no target (nor
// any other remark in brackets about what the figure should be).
inline void Result(const char* name, double value, const char* unit) {
    if (g_smokeRun) {
        const char* remark = std::strstr(unit, " (");
        const int unitLength = remark ? int(remark - unit) : int(std::strlen(unit));
        std::printf("RESULT %-28s %10.2f %.*s (smoke run)\n", name, value, unitLength, unit);
    } else {
        std::printf("RESULT %-28s %10.2f %s\n", name, value, unit);
    }
    std::fflush(stdout);
}

// True when every timing was taken (a failed one is negative).
inline bool AllTaken(const std::vector<double>& times) {
    return !times.empty() && *std::min_element(times.begin(), times.end()) >= 0;
}

// Time of libjpeg-turbo's djpeg decoding the file at the given scale ("1/4"), or -1 when it fails.
inline double TimeDjpeg(const QString& path, const QString& scale) {
    QElapsedTimer timer;
    timer.start();
    QProcess djpeg;
    djpeg.setStandardOutputFile(QProcess::nullDevice());
    djpeg.start("djpeg", {"-scale", scale, path});
    if (!djpeg.waitForFinished(60000) || djpeg.exitCode() != 0) return -1;
    return MsSince(timer);
}

// A photo-like picture: smooth colour fields, shapes and fine grain, so that it compresses the
// way a camera picture does rather than like a flat test card.
inline QImage PhotoLikePicture(QSize size, quint32 seed) {
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QLinearGradient sky(0, 0, size.width(), size.height());
        sky.setColorAt(0, QColor::fromHsv(int(seed * 47 % 360), 140, 230));
        sky.setColorAt(1, QColor::fromHsv(int(seed * 91 % 360), 200, 90));
        painter.fillRect(image.rect(), sky);
        painter.setRenderHint(QPainter::Antialiasing);
        quint32 state = seed * 2654435761u + 1;
        auto next = [&state] { return state = state * 1664525u + 1013904223u; };
        for (int i = 0; i < 300; ++i) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromHsv(int(next() % 360), 160, int(80 + next() % 160), 200));
            painter.drawEllipse(int(next() % size.width()), int(next() % size.height()),
                                int(60 + next() % 600), int(60 + next() % 400));
        }
    }
    quint32 grain = seed | 1;
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            grain ^= grain << 13;
            grain ^= grain >> 17;
            grain ^= grain << 5;
            const int d = int(grain & 15) - 8;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                           std::clamp(qBlue(p) + d, 0, 255));
        }
    }
    return image;
}

// A figure of this process's /proc status ("VmRSS:", "VmHWM:", "Threads:"), in the unit it is
// given in there (kB for sizes); -1 when it cannot be read.
inline qint64 ProcStatus(const char* key, const QString& process = QStringLiteral("self")) {
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ')[0].toLongLong();
    }
    return -1;
}

inline qint64 ProcStatusKb(const char* key) {
    return ProcStatus(key);
}

// Starts this process's peak resident memory (VmHWM) afresh from what it holds now.
inline bool ResetPeakMemory() {
    QFile refs("/proc/self/clear_refs");
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// How many file descriptors this process holds open.
inline qint64 OpenFileDescriptors() {
    return QDir("/proc/self/fd")
        .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
        .size();
}

inline bool WriteJpeg(const QString& path, const QImage& image) {
    QImageWriter writer(path, "JPEG");
    writer.setQuality(90);
    return writer.write(image);
}

}  // namespace tavello::bench
