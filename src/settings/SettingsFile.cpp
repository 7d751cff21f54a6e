#include "settings/SettingsFile.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace tavello {
namespace {

// A settings file is a few kilobytes; anything far larger is not ours, and reading it whole
// must not exhaust memory.
constexpr qint64 kMaxSettingsBytes = 64 * 1024 * 1024;

// The dialog lets a list grow to 1000 pictures; a list a hundred times longer comes from no real
// use, and keeping the millions of lines a file that size can hold would take gigabytes and
// minutes in the dialog's list. Lines beyond it are left unread.
constexpr qsizetype kMaxPictureLines = 100'000;
constexpr qsizetype kValueLines = 7;

// Splits text into at most maxLines lines ended by CR or CR LF. A lone LF stays part of its
// line, a last line without an ending still counts, and the end right behind a final ending adds
// no empty line.
QStringList SplitLines(const QString& text, qsizetype maxLines) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n && lines.size() < maxLines) {
        const qsizetype cr = text.indexOf(u'\r', start);
        if (cr < 0) {
            lines.append(text.mid(start));
            break;
        }
        lines.append(text.mid(start, cr - start));
        start = cr + 1;
        if (start < n && text[start] == u'\n') ++start;
    }
    return lines;
}

void FillFromLines(const QStringList& lines, SaverSettings& s) {
    QString* const values[] = {&s.Speed,     &s.HeadlineFont, &s.HeadlineSize, &s.PicSize,
                               &s.MusicFile, &s.Headline,     &s.RandomOrder};
    const qsizetype valueLines = std::min<qsizetype>(lines.size(), kValueLines);
    // A short file keeps the defaults for the values it lacks.
    for (qsizetype i = 0; i < valueLines; ++i) *values[i] = lines[i];
    // Files of the older six-line layout carry a picture path where the flag would stand.
    if (valueLines == kValueLines && s.RandomOrder.size() > 1) {
        s.Pictures.append(s.RandomOrder);
        s.RandomOrder = QStringLiteral("0");
    }
    for (qsizetype i = kValueLines; i < lines.size() && s.Pictures.size() < kMaxPictureLines; ++i)
        s.Pictures.append(lines[i]);
}

// A picture's line. A lone LF reads back as part of its line, so a name holding one is written
// exactly; only a CR would end the line early, and an entry holding one is put on one line.
QString PictureLine(const QString& picture) {
    return picture.contains(u'\r') ? OnOneLine(picture) : picture;
}

}  // namespace

QString OnOneLine(const QString& text) {
    const auto isBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
    QString line;
    line.reserve(text.size());
    bool breakPending = false;
    for (const QChar c : text) {
        if (isBreak(c)) {
            breakPending = !line.isEmpty();
            continue;
        }
        if (breakPending) line.append(u' ');
        breakPending = false;
        line.append(c);
    }
    return line;
}

QString WinPath() {
    return SettingsFolder() + QDir::separator();
}

QString SettingsPath() {
    return WinPath() + QStringLiteral("TAVELLO.INI");
}

SaverSettings LoadSettings(const QString& path) {
    SaverSettings s = DefaultSettings();
    if (QFileInfo(path).isHidden()) return s;
    // A folder, FIFO or device is refused without being waited on, and counts as missing.
    bool cut = false;
    std::optional<QByteArray> bytes = ReadRegularFile(path, kMaxSettingsBytes, &cut);
    if (!bytes) return s;
    // What follows the last line ending of a cut file is part of a line: no value, no picture.
    // A CR byte is never part of a character in UTF-8 or Shift-JIS, so the cut is clean.
    if (cut) bytes->truncate(bytes->lastIndexOf('\r') + 1);
    FillFromLines(SplitLines(DecodeText(*bytes), kValueLines + kMaxPictureLines), s);
    return s;
}

SaveResult SaveSettings(const QString& path, const SaverSettings& s) {
    // Each value is exactly one line whatever it holds, so no text can shift the ones after it.
    QString text;
    for (const QString* v : {&s.Speed, &s.HeadlineFont, &s.HeadlineSize, &s.PicSize, &s.MusicFile,
                             &s.Headline, &s.RandomOrder})
        text += OnOneLine(*v) + QStringLiteral("\r\n");
    for (const QString& picture : s.Pictures) text += PictureLine(picture) + QStringLiteral("\r\n");

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return {false, QStringLiteral("フォルダ %1 を作成できません。").arg(folder)};
    QString error;
    if (!WriteFileAtomically(path, EncodeText(text), &error))
        return {false, QStringLiteral("%1 を保存できません。\n%2").arg(path, error)};
    return {true, {}};
}

}  // namespace tavello
