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
    if (first.isEmpty()) return {};
    // A file title means one file, and first is its full path.
    if (At(ofn.lpstrFileTitle, 0) != kNul) return {first};
    const QString& buffer = ofn.lpstrFile;
    const QString folder = first.endsWith(FolderSeparator()) ? first : first + FolderSeparator();
    QStringList paths;
    // Just after the first NUL: the first name.
    qsizetype pos = buffer.indexOf(kNul);
    pos = pos < 0 ? buffer.size() : pos + 1;
    for (;;) {
        const qsizetype end = pos < buffer.size() ? buffer.indexOf(kNul, pos) : -1;
        const qsizetype stop = end < 0 ? std::max(pos, buffer.size()) : end;
        // An answer without names must not list the folder itself.
        if (stop > pos) paths << folder + buffer.mid(pos, stop - pos);
        pos = stop;  // on the NUL that ends this name
        if (At(buffer, pos + 1) == kNul) break;
        ++pos;
    }
    return paths;
}

}  // namespace tavello
