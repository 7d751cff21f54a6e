#include "platform/FileDialog.h"

#include <algorithm>

namespace tavello {

namespace {

const QChar kNul(u'\0');
constexpr int kPictureBufferLength = 4096;

// One filter entry: its description, NUL, its pattern list, NUL.
QString FilterEntry(const QString& description, const QString& patterns) {
    return description + kNul + patterns + kNul;
}

// The parts of the record both dialogs fill alike, then the call and its first answer piece.
QString ShowOpenDialog(FileDialogService& dialogs, OPENFILENAME& ofn, const QString& filter,
                       std::uint32_t flags) {
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = 0;
    ofn.hInstance = 0;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    // An empty buffer gives a limit of 0 rather than wrapping round.
    const qsizetype limit = ofn.lpstrFile.isEmpty() ? 0 : ofn.lpstrFile.size() - 1;
    ofn.nMaxFile = static_cast<std::uint32_t>(limit);
    ofn.lpstrFileTitle = ofn.lpstrFile;
    ofn.nMaxFileTitle = ofn.nMaxFile;
    ofn.Flags = flags;
    if (dialogs.GetOpenFileNameA(ofn) == 0) return QString();
    const qsizetype end = ofn.lpstrFile.indexOf(kNul);
    return end < 0 ? ofn.lpstrFile : ofn.lpstrFile.left(end);
}

// The folder part of a path; a root ("/" or "C:\") keeps its separator.
QString FolderOf(const QString& path, QChar separator) {
    const qsizetype cut = path.lastIndexOf(separator);
    if (cut < 0) return QString();
    const QString folder = path.left(cut);
    if (folder.isEmpty() || folder.endsWith(u':')) return path.left(cut + 1);
    return folder;
}

QString WithSeparator(const QString& folder, QChar separator) {
    return folder.endsWith(separator) ? folder : folder + separator;
}

// The deepest folder that holds every path, so each name is relative to it.
QString CommonFolder(const QStringList& paths, QChar separator) {
    QString folder = FolderOf(paths.front(), separator);
    for (;;) {
        const QString prefix = WithSeparator(folder, separator);
        bool holdsAll = true;
        for (const QString& path : paths) holdsAll = holdsAll && path.startsWith(prefix);
        const QString parent = FolderOf(folder, separator);
        if (holdsAll || parent == folder || parent.isEmpty()) return folder;
        folder = parent;
    }
}

// Puts text into a buffer, keeping the buffer's length when the text fits and growing it (with
// NUL padding) otherwise.
QString FillBuffer(const QString& text, qsizetype oldLength, qsizetype spareNuls) {
    const qsizetype length = std::max(oldLength, text.size() + spareNuls);
    return text + QString(length - text.size(), kNul);
}

std::uint16_t Offset16(qsizetype offset) {
    return offset >= 0 && offset <= 0xFFFF ? static_cast<std::uint16_t>(offset) : 0;
}

void WriteOneFile(OPENFILENAME& ofn, const QString& path, QChar separator) {
    const qsizetype nameStart = path.lastIndexOf(separator) + 1;
    const QString name = path.mid(nameStart);
    // Two NULs after the path: the path's own and the one that says no other name follows.
    ofn.lpstrFile = FillBuffer(path, ofn.lpstrFile.size(), 2);
    ofn.lpstrFileTitle = FillBuffer(name, ofn.lpstrFileTitle.size(), 1);
    ofn.nFileOffset = Offset16(nameStart);
    const qsizetype dot = name.lastIndexOf(u'.');
    ofn.nFileExtension = dot < 0 ? 0 : Offset16(nameStart + dot + 1);
}

void WriteSeveralFiles(OPENFILENAME& ofn, const QStringList& paths, QChar separator) {
    const QString folder = CommonFolder(paths, separator);
    const qsizetype nameStart = WithSeparator(folder, separator).size();
    QString answer = folder + kNul;
    for (const QString& path : paths) answer += path.mid(nameStart) + kNul;
    answer += kNul;
    ofn.lpstrFile = FillBuffer(answer, ofn.lpstrFile.size(), 0);
    ofn.lpstrFileTitle = FillBuffer(QString(), ofn.lpstrFileTitle.size(), 1);
    ofn.nFileOffset = Offset16(folder.size() + 1);
    ofn.nFileExtension = 0;
}

}  // namespace

void WriteExplorerAnswer(OPENFILENAME& ofn, const QStringList& chosenPaths, QChar separator) {
    if (chosenPaths.isEmpty()) return;
    if (chosenPaths.size() == 1)
        WriteOneFile(ofn, chosenPaths.front(), separator);
    else
        WriteSeveralFiles(ofn, chosenPaths, separator);
    if (ofn.lpstrFile.size() - 1 > static_cast<qsizetype>(ofn.nMaxFile))
        ofn.nMaxFile = static_cast<std::uint32_t>(ofn.lpstrFile.size() - 1);
}

QString ChooseMusicFile(FileDialogService& dialogs, OPENFILENAME& ofn) {
    return ShowOpenDialog(dialogs, ofn,
                          FilterEntry(QStringLiteral(u"WAV,MID,MP3ﾌｧｧｲﾙ(*.WAV,*.MID,*.MP3)"),
                                      QStringLiteral(u"*.WAV;*.MID;*.MP3")),
                          OFN_EXPLORER | OFN_HIDEREADONLY);
}

QString PictureFilter(const QStringList& extensions) {
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension.toUpper();
    const QString all = patterns.join(u';');
    QString filter;
    if (!all.isEmpty()) filter = FilterEntry(QStringLiteral(u"画像ファイル(") + all + u')', all);
    return filter +
           FilterEntry(QStringLiteral(u"JPG,BMPﾌｧｲﾙ(*.JPG;*.BMP)"), QStringLiteral(u"*.JPG;*.BMP"));
}

QString ChoosePictureFiles(FileDialogService& dialogs, OPENFILENAME& ofn,
                           const QStringList& extensions) {
    ofn.lpstrFile = QString(kPictureBufferLength, kNul);
    return ShowOpenDialog(dialogs, ofn, PictureFilter(extensions),
                          OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY);
}

}  // namespace tavello
