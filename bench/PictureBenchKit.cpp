#include "PictureBenchKit.h"

#include <QDir>
#include <QImage>
#include <QProcess>

namespace tavello::bench {

QSize PhotoSize(Length length) {
    return length == Length::Smoke ? kSmokePhoto : kPhoto;
}

bool WritePhoto(const QString& path, QSize size, quint32 seed) {
    return WriteJpeg(path, PhotoLikePicture(size, seed));
}

QSize FitToScreen(QSize own) {
    return own.scaled(kScreen, Qt::KeepAspectRatio);
}

qint64 ChildPeakKb(const QStringList& command) {
    QProcess timed;
    timed.start("/usr/bin/time", QStringList{"-f", "%M"} + command);
    if (!timed.waitForFinished(600000) || timed.exitCode() != 0) return -1;
    const QList<QByteArray> lines = timed.readAllStandardError().trimmed().split('\n');
    bool number = false;
    const qint64 kb = lines.last().trimmed().toLongLong(&number);
    return number ? kb : -1;
}

ChildRun RunTimed(const QStringList& command) {
    QElapsedTimer timer;
    timer.start();
    const qint64 kb = ChildPeakKb(command);
    return {kb, MsSince(timer)};
}

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

}  // namespace tavello::bench
