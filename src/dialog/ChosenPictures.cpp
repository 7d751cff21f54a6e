#include "dialog/ChosenPictures.h"

#include <algorithm>

namespace tavello {

namespace {

const QChar kNul(u'\0');

// A character of a buffer by 0-based index; past the end reads as NUL, so a short buffer ends
// the answer instead of running off it.
QChar At(const QString& buffer, qsizetype index) {
    return index >= 0 && index < buffer.size() ? buffer[index] : kNul;
}

}  // namespace

QStringList ChosenPicturePaths(const QString& first, const OPENFILENAME& ofn) {
    QStringList paths;
    if (first.isEmpty()) return paths;
    const QString& buffer = ofn.lpstrFile;
    const bool several = At(ofn.lpstrFileTitle, 0) == kNul;
    const QChar separator = FolderSeparator();
    // Just after the first NUL: the first name when several files were chosen.
    qsizetype pos = buffer.indexOf(kNul);
    pos = pos < 0 ? buffer.size() : pos + 1;
    for (;;) {
        QString path = first;
        bool named = true;
        if (several) {
            if (!first.endsWith(separator)) path += separator;
            const qsizetype end = pos < buffer.size() ? buffer.indexOf(kNul, pos) : -1;
            const qsizetype stop = end < 0 ? std::max(pos, buffer.size()) : end;
            named = stop > pos;  // an answer without names must not list the folder itself
            path += buffer.mid(pos, stop - pos);
            pos = stop;
        }
        if (named) paths << path;
        if (At(buffer, pos + 1) == kNul) break;
        ++pos;
    }
    return paths;
}

}  // namespace tavello
