#pragma once
// What the picture benchmarks share: the screen and photo sizes, programs run under GNU time, the
// photo written in every format and each format's reference decoder.

#include "BenchCommon.h"

#include <QSize>
#include <QString>
#include <QStringList>

namespace tavello::bench {

inline constexpr QSize kScreen(1920, 1080);
inline constexpr QSize kPhoto(6000, 4000);
inline constexpr QSize kSmokePhoto(2400, 1600);
// The formats compared, by file extension.
inline const QStringList kFormats{"jpg", "png", "webp", "tif", "heic", "avif"};

QSize PhotoSize(Length length);
bool WritePhoto(const QString& path, QSize size, quint32 seed);
// The picture's size fitted into the screen, keeping its proportions.
QSize FitToScreen(QSize own);

// The peak resident memory of a program run to its end, in kB; -1 when it fails or cannot run.
// Measured by GNU time, a small process: a child started straight from this one would count this
// process's own peak as well, which the kernel carries over into the child's figure.
qint64 ChildPeakKb(const QStringList& command);

// A program run to its end under GNU time: its peak resident memory in kB (-1 when it fails) and
// its wall time in ms.
struct ChildRun {
    qint64 peakKb = -1;
    double ms = 0;
};
ChildRun RunTimed(const QStringList& command);

// Writes the photo in `format` through Qt's writers or, for HEIC and AVIF, the encoders' own
// programs from a PNG of it; false when they are missing or fail.
bool WriteFormat(const QString& png, const QString& out, const QString& format);
// Writes the photo in every format into the folder; those that cannot be written are left out.
int MakeFormats(Length length, const QString& folder);
// The reference decoder's command for `path`, fitted to `shown` where it can scale.
QStringList ReferenceCommand(const QString& format, const QString& path, QSize shown,
                             const QString& folder);

// The benchmarks of every format (FormatsBench.cpp) and their children's entry points.
int FormatsBench(Length length, const QString& folder);
int DecodeCostChild(const QStringList& args);
int LoaderBench(Length length, const QString& folder);
int DecodeTimeChild(const QStringList& args);

}  // namespace tavello::bench
