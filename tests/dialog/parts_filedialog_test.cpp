// The file-open dialogs: the record both dialogs fill, the answers they return, and how the
// dialog's answer is read back into picture paths.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <functional>

#include "dialog/ChosenPictures.h"
#include "platform/FileDialog.h"
#include "settings/PictureFormats.h"
#include "support/TestDir.h"

namespace tavello {
namespace {

const QChar kNul(u'\0');

QString Nuls(qsizetype n) {
    return QString(n, kNul);
}

// Answers like the platform's dialog: writes the given buffers over the start of the record's
// buffers (keeping their length), or cancels when no answer is set.
class FakeFileDialog : public FileDialogService {
  public:
    std::int32_t GetOpenFileNameA(OPENFILENAME& ofn) override {
        seen = ofn;
        ++calls;
        if (!answer) return 0;
        ofn.lpstrFile.replace(0, answer->file.size(), answer->file);
        ofn.lpstrFileTitle.replace(0, answer->title.size(), answer->title);
        return 1;
    }
    QString ChooseFolder() override { return QString(); }
    struct Answer {
        QString file;
        QString title;
    };
    std::optional<Answer> answer;
    OPENFILENAME seen;
    int calls = 0;
};

TEST(ChoosePictureFiles, FillsTheRecordForSeveralPictures) {
    FakeFileDialog dialogs;
    OPENFILENAME ofn;
    EXPECT_EQ(ChoosePictureFiles(dialogs, ofn, PictureExtensions()), QString());
    const OPENFILENAME& r = dialogs.seen;
    EXPECT_EQ(r.lStructSize, 76u);
    EXPECT_EQ(r.hwndOwner, 0u);
    EXPECT_EQ(r.hInstance, 0u);
    const QString all = QStringLiteral(
        u"*.JPG;*.JPEG;*.JPE;*.JFIF;*.BMP;*.DIB;*.PNG;*.GIF;*.WEBP;*.TIF;*.TIFF;*.HEIC;*.HEIF;*."
        u"AVIF");
    EXPECT_EQ(r.lpstrFilter, QStringLiteral(u"画像ファイル(") + all + u')' + kNul + all + kNul +
                                 QStringLiteral(u"JPG,BMPﾌｧｲﾙ(*.JPG;*.BMP)") + kNul +
                                 QStringLiteral(u"*.JPG;*.BMP") + kNul);
    EXPECT_EQ(r.nFilterIndex, 1u);
    EXPECT_EQ(r.lpstrFile, Nuls(4096));
    EXPECT_EQ(r.nMaxFile, 4095u);
    EXPECT_EQ(r.lpstrFileTitle, Nuls(4096));
    EXPECT_EQ(r.nMaxFileTitle, 4095u);
    EXPECT_EQ(r.Flags, 0x80204u);
    EXPECT_TRUE(r.lpstrCustomFilter.isEmpty() && r.lpstrInitialDir.isEmpty() &&
                r.lpstrTitle.isEmpty() && r.lpstrDefExt.isEmpty());
    EXPECT_EQ(r.nFileOffset + r.nFileExtension + r.lpfnHook + r.lpTemplateName, 0u);
}

TEST(ChooseMusicFile, FillsTheRecordForOneMusicFile) {
    FakeFileDialog dialogs;
    OPENFILENAME ofn;
    ofn.lpstrFile = Nuls(512);
    EXPECT_EQ(ChooseMusicFile(dialogs, ofn), QString());
    const OPENFILENAME& r = dialogs.seen;
    EXPECT_EQ(r.lStructSize, 76u);
    EXPECT_EQ(r.lpstrFilter, QStringLiteral(u"WAV,MID,MP3ﾌｧｧｲﾙ(*.WAV,*.MID,*.MP3)") + kNul +
                                 QStringLiteral(u"*.WAV;*.MID;*.MP3") + kNul);
    EXPECT_EQ(r.lpstrFilter.count(kNul), 2);  // exactly one filter entry
    EXPECT_EQ(r.nFilterIndex, 1u);
    EXPECT_EQ(r.lpstrFile, Nuls(512));
    EXPECT_EQ(r.nMaxFile, 511u);
    EXPECT_EQ(r.lpstrFileTitle, Nuls(512));
    EXPECT_EQ(r.nMaxFileTitle, 511u);
    EXPECT_EQ(r.Flags, 0x80004u);
    EXPECT_EQ(r.Flags & OFN_ALLOWMULTISELECT, 0u);
}

TEST(ChooseMusicFile, ReturnsTheChosenPath) {
    FakeFileDialog dialogs;
    dialogs.answer = {QStringLiteral("C:\\Music\\song.mp3") + kNul, QStringLiteral("song.mp3")};
    OPENFILENAME ofn;
    ofn.lpstrFile = Nuls(512);
    EXPECT_EQ(ChooseMusicFile(dialogs, ofn), QStringLiteral("C:\\Music\\song.mp3"));
}

struct PictureCase {
    const char* name;
    QString file;   // the dialog's file buffer answer
    QString title;  // the dialog's file-title buffer answer
    QString first;  // what ChoosePictureFiles returns
    QStringList paths;
};

class PictureAnswers : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureAnswers, ReturnFirstPieceAndParseIntoPaths) {
    const PictureCase& c = GetParam();
    FakeFileDialog dialogs;
    dialogs.answer = {c.file, c.title};
    OPENFILENAME ofn;
    const QString first = ChoosePictureFiles(dialogs, ofn, PictureExtensions());
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(ChosenPicturePaths(first, ofn), c.paths);
}

const QString N(kNul);

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureAnswers,
    ::testing::Values(
        PictureCase{"OnePicture", "/photos/a.jpg" + N, "a.jpg", "/photos/a.jpg", {"/photos/a.jpg"}},
        PictureCase{"ThreeInAFolder",
                    "/photos" + N + "a.jpg" + N + "b.jpg" + N + "c.jpg" + N + N,
                    N,
                    "/photos",
                    {"/photos/a.jpg", "/photos/b.jpg", "/photos/c.jpg"}},
        PictureCase{"ThreeInTheRoot",
                    "/" + N + "a.jpg" + N + "b.jpg" + N + "c.jpg" + N + N,
                    N,
                    "/",
                    {"/a.jpg", "/b.jpg", "/c.jpg"}},
        PictureCase{"FolderAlreadyEndingInSeparator",
                    "/photos/" + N + "x.bmp" + N + "y.bmp" + N + N,
                    N,
                    "/photos/",
                    {"/photos/x.bmp", "/photos/y.bmp"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChoosePictureFiles, CancelReturnsEmptyAndNoPaths) {
    FakeFileDialog dialogs;
    OPENFILENAME ofn;
    const QString first = ChoosePictureFiles(dialogs, ofn, PictureExtensions());
    EXPECT_EQ(first, QString());
    EXPECT_TRUE(ChosenPicturePaths(first, ofn).isEmpty());
    FakeFileDialog musicDialogs;
    OPENFILENAME music;
    music.lpstrFile = Nuls(512);
    EXPECT_EQ(ChooseMusicFile(musicDialogs, music), QString());
}

TEST(ChosenPicturePaths, ReadsAnAnswerLongerThanAnyShortIndex) {
    // 3000 names of 20 characters: the answer runs far past 32767 characters.
    QStringList names;
    OPENFILENAME ofn;
    QStringList expected;
    for (int i = 0; i < 3000; ++i) {
        names << QStringLiteral("picture-%1.jpeg").arg(i, 8, 10, QChar(u'0'));
        expected << "/p/" + names.back();
    }
    ofn.lpstrFile = "/p" + N + names.join(N) + N + N;
    ofn.lpstrFileTitle = Nuls(10);
    ASSERT_GT(ofn.lpstrFile.size(), 60000);
    EXPECT_EQ(ChosenPicturePaths(QStringLiteral("/p"), ofn), expected);
}

TEST(ChosenPicturePaths, OneFileGivesOnePathWhateverFollowsIt) {
    OPENFILENAME ofn;
    ofn.lpstrFile = "/p/a.jpg" + N + N + "left over";
    ofn.lpstrFileTitle = QStringLiteral("a.jpg");
    EXPECT_EQ(ChosenPicturePaths(QStringLiteral("/p/a.jpg"), ofn), QStringList({"/p/a.jpg"}));
}

TEST(ChosenPicturePaths, StopsAtTheEndOfABufferWithoutFinalNul) {
    OPENFILENAME ofn;
    ofn.lpstrFile = "/p" + N + "a.jpg" + N + "b.jpg";
    ofn.lpstrFileTitle = N;
    EXPECT_EQ(ChosenPicturePaths(QStringLiteral("/p"), ofn), QStringList({"/p/a.jpg", "/p/b.jpg"}));
}

struct WriteCase {
    const char* name;
    QStringList chosen;
    QString file;
    QString title;
};

class ExplorerAnswer : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ExplorerAnswer, IsWrittenInTheExplorerLayout) {
    const WriteCase& c = GetParam();
    OPENFILENAME ofn;
    ofn.lpstrFile = Nuls(4096);
    ofn.lpstrFileTitle = Nuls(4096);
    ofn.nMaxFile = 4095;
    WriteExplorerAnswer(ofn, c.chosen, u'/');
    EXPECT_EQ(ofn.lpstrFile.left(c.file.size()), c.file);
    EXPECT_EQ(ofn.lpstrFile.size(), 4096);
    EXPECT_EQ(ofn.lpstrFileTitle.left(c.title.size()), c.title);
    EXPECT_EQ(ofn.lpstrFileTitle.at(c.title.size()), kNul);
    // Read back by the picture list, the answer gives the chosen files again.
    const QString first = ofn.lpstrFile.section(kNul, 0, 0);
    EXPECT_EQ(ChosenPicturePaths(first, ofn), c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExplorerAnswer,
    ::testing::Values(WriteCase{"One", {"/home/u/a.jpg"}, "/home/u/a.jpg" + N + N, "a.jpg"},
                      WriteCase{"Several",
                                {"/home/u/a.jpg", "/home/u/B.JPG"},
                                "/home/u" + N + "a.jpg" + N + "B.JPG" + N + N,
                                ""},
                      WriteCase{"SeveralInRoot",
                                {"/a.jpg", "/b.jpg"},
                                "/" + N + "a.jpg" + N + "b.jpg" + N + N,
                                ""},
                      WriteCase{"DifferentFolders",
                                {"/m/x/a.jpg", "/m/y/b.jpg"},
                                "/m" + N + "x/a.jpg" + N + "y/b.jpg" + N + N,
                                ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteExplorerAnswer, GrowsTheBufferForALongSelection) {
    QStringList chosen;
    for (int i = 0; i < 500; ++i)
        chosen << QStringLiteral("/photos/holiday/picture-number-%1.jpg").arg(i);
    OPENFILENAME ofn;
    ofn.lpstrFile = Nuls(4096);
    ofn.lpstrFileTitle = Nuls(4096);
    ofn.nMaxFile = 4095;
    WriteExplorerAnswer(ofn, chosen, u'/');
    EXPECT_GT(ofn.lpstrFile.size(), 4096);
    EXPECT_EQ(ofn.nMaxFile, static_cast<std::uint32_t>(ofn.lpstrFile.size() - 1));
    EXPECT_EQ(ChosenPicturePaths(QStringLiteral("/photos/holiday"), ofn), chosen);
}

// The real dialog, driven from inside its own event loop.
void WhenDialogOpens(std::function<void(QFileDialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            // Not up yet: try again shortly.
            WhenDialogOpens(act);
            return;
        }
        act(*dialog);
    });
}

class RealFileDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"photo.jpg", "B.JPG", "c.Bmp", "d.Png", "Phone.HEIC", "notes.txt"}) {
            QFile f(dir.file(QString::fromLatin1(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    QStringList shownNames(QFileDialog& dialog) {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        QStringList names;
        if (!view) return names;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names << view->model()->index(row, 0, root).data().toString();
        names.sort();
        return names;
    }
    test::TestDir dir;
};

TEST_F(RealFileDialog, ShowsPicturesWhateverTheirCaseAndAnswersSeveral) {
    QStringList shown;
    QString filter;
    WhenDialogOpens([&](QFileDialog& dialog) {
        dialog.setDirectory(dir.path());
        // The folder is listed in the background; give it a moment.
        QDeadlineTimer deadline(5000);
        while (shownNames(dialog).size() < 5 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        shown = shownNames(dialog);
        filter = dialog.selectedNameFilter();
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit) {
            ADD_FAILURE() << "the dialog has no file name box";
            dialog.reject();
            return;
        }
        edit->setText(QStringLiteral("\"photo.jpg\" \"B.JPG\""));
        static_cast<QDialog&>(dialog).accept();
    });
    OPENFILENAME ofn;
    const QString first = ChoosePictureFiles(SystemFileDialog(), ofn, PictureExtensions());
    // Every format we read is offered first, in any case.
    EXPECT_EQ(shown, QStringList({"B.JPG", "Phone.HEIC", "c.Bmp", "d.Png", "photo.jpg"}));
    EXPECT_TRUE(filter.startsWith(u"画像ファイル(")) << filter.toStdString();
    const QString folder = QDir(dir.path()).absolutePath();
    EXPECT_EQ(first, folder);
    EXPECT_EQ(ofn.lpstrFileTitle.at(0), kNul);
    QStringList paths = ChosenPicturePaths(first, ofn);
    paths.sort();
    EXPECT_EQ(paths, QStringList({folder + "/B.JPG", folder + "/photo.jpg"}));
}

TEST_F(RealFileDialog, AnswersOneFileWithItsTitle) {
    WhenDialogOpens([&](QFileDialog& dialog) {
        dialog.selectFile(dir.file(QStringLiteral("c.Bmp")));
        static_cast<QDialog&>(dialog).accept();
    });
    OPENFILENAME ofn;
    const QString first = ChoosePictureFiles(SystemFileDialog(), ofn, PictureExtensions());
    EXPECT_EQ(first, QDir(dir.path()).absoluteFilePath(QStringLiteral("c.Bmp")));
    EXPECT_TRUE(ofn.lpstrFileTitle.startsWith(QStringLiteral("c.Bmp") + kNul));
    EXPECT_EQ(ChosenPicturePaths(first, ofn), QStringList({first}));
}

TEST_F(RealFileDialog, MusicDialogAllowsOneFileAndCancelKeepsNothing) {
    QFileDialog::FileMode mode = QFileDialog::Directory;
    WhenDialogOpens([&](QFileDialog& dialog) {
        mode = dialog.fileMode();
        dialog.reject();
    });
    OPENFILENAME ofn;
    ofn.lpstrFile = Nuls(512);
    EXPECT_EQ(ChooseMusicFile(SystemFileDialog(), ofn), QString());
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    EXPECT_EQ(ofn.lpstrFile, Nuls(512));
}

}  // namespace
}  // namespace tavello
