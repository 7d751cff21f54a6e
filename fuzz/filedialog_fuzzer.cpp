// The file dialog's answer: the record the dialog fills (one file, or a folder and names between
// NULs) and how the settings dialog reads the chosen paths back out of it.
//
// Input: the first byte picks the mode, the rest is the answer.
//  - even: the paths a user chose, one a line; the answer is written as the dialog writes it,
//    and reading it back must give those paths.
//  - odd: the raw answer a misbehaving dialog leaves in the file buffer, then after a NUL NUL NUL
//    the file-title buffer; reading it must stay within the buffers.

#include "FuzzSupport.h"

#include "dialog/ChosenPictures.h"
#include "platform/FileDialog.h"
#include "settings/PictureFormats.h"

#include <QDir>
#include <QStringList>
#include <cstdint>

using namespace tavello;

namespace {

class FakeDialog final : public FileDialogService {
  public:
    std::int32_t GetOpenFileNameA(OPENFILENAME& ofn) override {
        if (!rawFile.isNull()) {
            ofn.lpstrFile = rawFile;
            ofn.lpstrFileTitle = rawTitle;
        } else {
            WriteExplorerAnswer(ofn, chosen, FolderSeparator());
        }
        return answered ? 1 : 0;
    }
    QString ChooseFolder() override { return QString(); }

    bool answered = true;
    QStringList chosen;
    QString rawFile;
    QString rawTitle;
};

// Absolute, clean paths of files, each once and all in the first one's folder, as a file dialog
// gives them (it shows one folder at a time).
QStringList ChosenFiles(const QString& text) {
    QStringList paths;
    for (QString line : text.split(u'\n')) {
        line.remove(QChar(u'\0'));
        const QString path = QDir::cleanPath(QStringLiteral("/") + line);
        if (path == QStringLiteral("/") || paths.contains(path)) continue;
        const auto folderOf = [](const QString& p) { return p.left(p.lastIndexOf(u'/')); };
        if (paths.isEmpty() || folderOf(path) == folderOf(paths.front())) paths << path;
    }
    return paths;
}

void ChooseAndReadBack(const QString& text) {
    FakeDialog dialog;
    dialog.chosen = ChosenFiles(text);
    dialog.answered = !dialog.chosen.isEmpty();
    OPENFILENAME ofn{};
    const QString first = ChoosePictureFiles(dialog, ofn, PictureExtensions());
    fuzz::Check(ChosenPicturePaths(first, ofn) == dialog.chosen,
                "the pictures read from the answer are not the ones chosen");

    OPENFILENAME music{};
    music.lpstrFile = QString(512, QChar(u'\0'));
    const QString song = ChooseMusicFile(dialog, music);
    if (dialog.chosen.size() == 1)
        fuzz::Check(song == dialog.chosen.front(), "the music file read is not the one chosen");
}

void ReadRawAnswer(const QString& text) {
    FakeDialog dialog;
    const qsizetype split = text.indexOf(QString(3, QChar(u'\0')));
    dialog.rawFile = split < 0 ? text : text.left(split);
    dialog.rawTitle = split < 0 ? QString() : text.mid(split + 3);
    OPENFILENAME ofn{};
    const QString first = ChoosePictureFiles(dialog, ofn, PictureExtensions());
    fuzz::Keep(ChosenPicturePaths(first, ofn));
    OPENFILENAME music{};
    fuzz::Keep(ChooseMusicFile(dialog, music));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const QString text = QString::fromUtf8(fuzz::Bytes(data + 1, size - 1));
    if (data[0] % 2 == 0)
        ChooseAndReadBack(text);
    else
        ReadRawAnswer(text);
    return 0;
}
