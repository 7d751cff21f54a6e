// The file-open dialogs: what each asks the system dialog for and the answers they return.

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

#include "platform/FileDialog.h"
#include "settings/PictureFormats.h"
#include "support/TestDir.h"

namespace tavello {
namespace {

// Answers like the platform's dialog with the given paths; no paths means cancel.
class FakeFileDialog : public FileDialogService {
  public:
    QStringList ChooseFiles(const FileRequest& request) override {
        seen = request;
        ++calls;
        return answer;
    }
    QString ChooseFolder() override { return QString(); }
    QStringList answer;
    FileRequest seen;
    int calls = 0;
};

TEST(ChoosePictureFiles, AsksForSeveralPicturesEveryFormatFirst) {
    const QStringList all = {"*.JPG", "*.JPEG", "*.JPE", "*.JFIF", "*.BMP",  "*.DIB",  "*.PNG",
                             "*.GIF", "*.WEBP", "*.TIF", "*.TIFF", "*.HEIC", "*.HEIF", "*.AVIF"};
    const FileFilter classic{QStringLiteral(u"JPG,BMPﾌｧｲﾙ(*.JPG;*.BMP)"), {"*.JPG", "*.BMP"}};
    const struct {
        const char* what;
        QStringList extensions;
        QList<FileFilter> filters;
    } rows[] = {
        {"every format read",
         PictureExtensions(),
         {{QStringLiteral(u"画像ファイル(") + all.join(u';') + u')', all}, classic}},
        {"no formats", {}, {classic}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FakeFileDialog dialogs;
        EXPECT_TRUE(ChoosePictureFiles(dialogs, row.extensions).isEmpty());
        EXPECT_EQ(dialogs.calls, 1);
        EXPECT_TRUE(dialogs.seen.several);
        EXPECT_EQ(dialogs.seen.filters, row.filters);
    }
}

TEST(ChooseMusicFile, AsksForOneMusicFile) {
    FakeFileDialog dialogs;
    EXPECT_EQ(ChooseMusicFile(dialogs), QString());
    const FileRequest& r = dialogs.seen;
    ASSERT_EQ(r.filters.size(), 1);  // exactly one filter entry
    EXPECT_EQ(r.filters[0].description, QStringLiteral(u"WAV,MID,MP3ﾌｧｧｲﾙ(*.WAV,*.MID,*.MP3)"));
    EXPECT_EQ(r.filters[0].patterns, QStringList({"*.WAV", "*.MID", "*.MP3"}));
    EXPECT_FALSE(r.several);
}

TEST(ChooseMusicFile, ReturnsTheChosenPath) {
    FakeFileDialog dialogs;
    dialogs.answer = {QStringLiteral("C:\\Music\\song.mp3")};
    EXPECT_EQ(ChooseMusicFile(dialogs), QStringLiteral("C:\\Music\\song.mp3"));
}

TEST(ChoosePictureFiles, CancelReturnsNoPaths) {
    FakeFileDialog dialogs;
    EXPECT_TRUE(ChoosePictureFiles(dialogs, PictureExtensions()).isEmpty());
    FakeFileDialog musicDialogs;
    EXPECT_EQ(ChooseMusicFile(musicDialogs), QString());
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
    QStringList paths = ChoosePictureFiles(SystemFileDialog(), PictureExtensions());
    // Every format we read is offered first, in any case.
    EXPECT_EQ(shown, QStringList({"B.JPG", "Phone.HEIC", "c.Bmp", "d.Png", "photo.jpg"}));
    EXPECT_TRUE(filter.startsWith(u"画像ファイル(")) << filter.toStdString();
    const QString folder = QDir(dir.path()).absolutePath();
    paths.sort();
    EXPECT_EQ(paths, QStringList({folder + "/B.JPG", folder + "/photo.jpg"}));
}

TEST_F(RealFileDialog, AnswersOneFile) {
    WhenDialogOpens([&](QFileDialog& dialog) {
        dialog.selectFile(dir.file(QStringLiteral("c.Bmp")));
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(ChoosePictureFiles(SystemFileDialog(), PictureExtensions()),
              QStringList({QDir(dir.path()).absoluteFilePath(QStringLiteral("c.Bmp"))}));
}

TEST_F(RealFileDialog, MusicDialogAllowsOneFileAndCancelKeepsNothing) {
    QFileDialog::FileMode mode = QFileDialog::Directory;
    WhenDialogOpens([&](QFileDialog& dialog) {
        mode = dialog.fileMode();
        dialog.reject();
    });
    EXPECT_EQ(ChooseMusicFile(SystemFileDialog()), QString());
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
}

}  // namespace
}  // namespace tavello
