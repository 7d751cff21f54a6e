// The picture list (adding, the 1000 limit, removing, Ctrl+A), the preview, the banner and the
// music file button, with the file dialog replaced by a fake.

#include "DialogTestKit.h"
#include "dialog/Form2Resources.h"
#include "platform/FileDialog.h"
#include "settings/PictureFormats.h"
#include "toolkit/ImageControl.h"
#include "toolkit/PictureBox.h"
#include "toolkit/picture_corpus.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace tavello::test {
namespace {

const QStringList kValues{"5", "ＭＳ Ｐゴシック", "48", "100%", "", "TAVELLO Ver1.00", "0"};

class PicturesTest : public DialogTest {
  protected:
    QListWidget* list() const { return control<QListWidget>("lstPic"); }
    QString total() const { return control<QLabel>("Totallbl")->text(); }
    ImageControl* image() const { return control<ImageControl>("Image1"); }

    // A JPEG of the given size in the test folder.
    QString picture(int width, int height, const QString& name) {
        QImage img(width, height, QImage::Format_RGB32);
        img.fill(QColor(30, 120, 200));
        const QString path = dir_.file(name);
        EXPECT_TRUE(img.save(path, "JPG"));
        return path;
    }

    void choose(const QStringList& files) {
        files_.answer = files;
        form_->btnPic_Click();
    }
};

TEST_F(PicturesTest, AddingFollowsTheDialogsAnswer) {
    const struct {
        const char* what;
        QStringList chosen;
    } rows[] = {
        {"one file", {"/photos/a.jpg"}},
        {"three in a folder", {"/photos/a.jpg", "/photos/b.jpg", "/photos/c.jpg"}},
        {"three in the root", {"/a.jpg", "/b.jpg", "/c.jpg"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        open();
        choose(row.chosen);
        EXPECT_EQ(Items(list()), row.chosen);
        EXPECT_EQ(total(), QString::number(row.chosen.size()));
        const FileRequest& asked = files_.seen.back();
        EXPECT_TRUE(asked.several);
        EXPECT_EQ(asked, PictureFileRequest(PictureExtensions()));
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(PicturesTest, TheSameFileTwiceIsListedTwiceAndCancelChangesNothing) {
    open();
    choose({"/photos/a.jpg"});
    choose({"/photos/a.jpg"});
    EXPECT_EQ(Items(list()), (QStringList{"/photos/a.jpg", "/photos/a.jpg"}));
    control<QLabel>("Totallbl")->setText("untouched");
    choose({});
    EXPECT_EQ(list()->count(), 2);
    EXPECT_EQ(total(), "untouched");
}

TEST_F(PicturesTest, TheListStopsAtAThousandWithOneMessagePerClick) {
    const struct {
        int before;
        int chosen;
        int after;
    } rows[] = {{998, 3, 1000}, {1000, 1, 1000}, {1000, 4, 1000}, {997, 3, 1000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before);
        writeSettings(CrLfLines(kValues + Numbered(row.before)));
        messages_.shown.clear();
        open();
        QStringList chosen;
        for (int i = 0; i < row.chosen; ++i) chosen << QStringLiteral("/new/n%1.jpg").arg(i);
        choose(chosen);
        EXPECT_EQ(list()->count(), row.after);
        EXPECT_EQ(total(), QString::number(row.after));
        const bool overflow = row.before + row.chosen > 1000;
        ASSERT_EQ(messages_.shown.size(), overflow ? 1u : 0u);
        if (overflow) {
            EXPECT_EQ(messages_.shown[0].text, QStringLiteral("画像は1000までです。"));
            EXPECT_EQ(messages_.shown[0].icon, MsgIcon::Critical);
        }
        // The first chosen files are the ones that got in.
        EXPECT_EQ(Items(list()).mid(row.before), chosen.mid(0, row.after - row.before));
    }
}

TEST_F(PicturesTest, RemovingTakesExactlyTheSelectedItems) {
    writeSettings(CrLfLines(kValues + Numbered(10)));
    open();
    for (int i : {2, 5, 7}) list()->item(i)->setSelected(true);
    form_->btnDel_Click();
    QStringList expected = Numbered(10);
    for (int i : {7, 5, 2}) expected.removeAt(i);
    EXPECT_EQ(Items(list()), expected);
    EXPECT_EQ(total(), "7");
    EXPECT_FALSE(image()->hasPicture());
}

TEST_F(PicturesTest, RemovingNothingOnlyClearsThePreview) {
    const QString a = picture(800, 600, "a.jpg");
    writeSettings(CrLfLines(kValues + QStringList{a, a}));
    open();
    list()->setCurrentRow(0);
    ASSERT_TRUE(image()->hasPicture());
    list()->clearSelection();
    ASSERT_TRUE(list()->selectedItems().isEmpty());
    control<QLabel>("Totallbl")->setText("stale");
    form_->btnDel_Click();
    EXPECT_EQ(list()->count(), 2);
    EXPECT_EQ(total(), "2");
    EXPECT_FALSE(image()->hasPicture());
}

TEST_F(PicturesTest, CtrlASelectsAllAndClearsThePreviewOnlyWithCtrlAlone) {
    const QString a = picture(800, 600, "a.jpg");
    const struct {
        Qt::KeyboardModifiers modifiers;
        bool selectsAll;
    } rows[] = {{Qt::ControlModifier, true},
                {Qt::ControlModifier | Qt::ShiftModifier, false},
                {Qt::NoModifier, false},
                {Qt::ControlModifier | Qt::AltModifier, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.modifiers));
        writeSettings(CrLfLines(kValues + QStringList{a, a, a, a}));
        open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        list()->setFocus();
        list()->setCurrentRow(1);
        ASSERT_TRUE(image()->hasPicture());
        QTest::keyClick(list(), Qt::Key_A, row.modifiers);
        EXPECT_EQ(list()->selectedItems().size() == 4, row.selectsAll);
        if (row.selectsAll) {
            EXPECT_FALSE(image()->hasPicture());
        }
        EXPECT_FALSE(form_->selectingAll());
    }
    writeSettings(CrLfLines(kValues));
    open();
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_FALSE(form_->selectingAll());
}

TEST_F(PicturesTest, PreviewFitsTheFourByThreeFrame) {
    // The frame is 64 × 48 pixels at (264, 288).
    const struct {
        int width, height;
        double left, top, shownWidth, shownHeight;
    } rows[] = {
        {800, 600, 264, 288, 64, 48},    // exactly 4:3 fills the frame
        {1000, 500, 264, 296, 64, 32},   // wide: full width, centred vertically
        {600, 800, 278, 288, 36, 48},    // tall: full height, centred horizontally
        {4000, 3000, 264, 288, 64, 48},  // a large photo decodes small
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.width);
        const QString path = picture(row.width, row.height,
                                     QStringLiteral("%1x%2.jpg").arg(row.width).arg(row.height));
        writeSettings(CrLfLines(kValues + QStringList{path}));
        open();
        list()->setCurrentRow(0);
        ImageControl* img = image();
        EXPECT_TRUE(img->isVisible());
        EXPECT_TRUE(img->stretch());
        EXPECT_DOUBLE_EQ(img->Left(), row.left);
        EXPECT_DOUBLE_EQ(img->Top(), row.top);
        EXPECT_DOUBLE_EQ(img->Width(), row.shownWidth);
        EXPECT_DOUBLE_EQ(img->Height(), row.shownHeight);
        EXPECT_EQ(img->picture().ownSize, QSize(row.width, row.height));
        // Decoded at the size it is shown at, not at the file's own size.
        EXPECT_LE(img->picture().image.width(), 64);
        EXPECT_LE(img->picture().image.height(), 48);
    }
}

TEST_F(PicturesTest, AMissingPictureEmptiesAndHidesThePreviewUntilAGoodOne) {
    const QString good = picture(800, 600, "good.jpg");
    const QString gone = picture(800, 600, "gone.jpg");
    QFile::remove(gone);
    dir_.write("broken.jpg", "not a picture at all");
    writeSettings(CrLfLines(kValues + QStringList{good, gone, dir_.file("broken.jpg"), good}));
    open();
    list()->setCurrentRow(0);
    ASSERT_TRUE(image()->isVisible());
    for (int bad : {1, 2}) {
        list()->setCurrentRow(bad);
        EXPECT_FALSE(image()->isVisible());
        EXPECT_FALSE(image()->hasPicture());
    }
    list()->setCurrentRow(3);
    EXPECT_TRUE(image()->isVisible());
    EXPECT_TRUE(image()->hasPicture());
}

TEST_F(PicturesTest, EveryHostileFilePreviewsAsItShouldOrLeavesThePreviewEmpty) {
    const QString good = picture(800, 600, "good.jpg");
    const std::vector<corpus::Entry> entries = corpus::Pictures();
    QStringList items;
    for (const corpus::Entry& entry : entries) items << good << corpus::Place(dir_, entry);
    writeSettings(CrLfLines(kValues + items));
    open();
    for (int i = 0; i < int(entries.size()); ++i) {
        SCOPED_TRACE(entries[i].name);
        list()->setCurrentRow(2 * i);
        ASSERT_TRUE(image()->isVisible());
        list()->setCurrentRow(2 * i + 1);
        const bool shows = entries[i].shows.isValid();
        EXPECT_EQ(image()->isVisible(), shows);
        EXPECT_EQ(image()->hasPicture(), shows);
        if (shows) {
            EXPECT_EQ(image()->picture().ownSize, entries[i].shows);
            EXPECT_TRUE(corpus::RedAboveBlue(image()->picture().image));
        }
    }
}

TEST_F(PicturesTest, TheKeyboardPreviewsTheItemItMovesTo) {
    const QString wide = picture(1000, 500, "wide.jpg");
    const QString tall = picture(600, 800, "tall.jpg");
    writeSettings(CrLfLines(kValues + QStringList{wide, tall}));
    open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(list()->item(0)).center());
    EXPECT_EQ(image()->picture().ownSize, QSize(1000, 500));
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(image()->picture().ownSize, QSize(600, 800));
}

TEST_F(PicturesTest, BannerScrollsOneRowPerTickAndWraps) {
    open();
    const QImage stored = BannerBitmap().convertToFormat(QImage::Format_RGB32);
    auto* strip = control<PictureBox>("Picture1");
    form_->Timer1_Timer();
    EXPECT_EQ(form_->bannerOffset(), 1);
    QImage shown = strip->picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(198, 146));
    // Moved up by one row; the top row now stands at the bottom.
    EXPECT_EQ(shown.copy(0, 0, 198, 145), stored.copy(0, 1, 198, 145));
    EXPECT_EQ(shown.copy(0, 145, 198, 1), stored.copy(0, 0, 198, 1));
    for (int i = 1; i < 146; ++i) form_->Timer1_Timer();
    EXPECT_EQ(form_->bannerOffset(), 0);
    EXPECT_EQ(strip->picture().convertToFormat(QImage::Format_RGB32), stored);
}

TEST_F(PicturesTest, TheTimerDrivesTheBannerOnItsOwn) {
    form_ = std::make_unique<Form2>(services_);
    form_->Form_Load();
    form_->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form_->bannerOffset() >= 3; }, 2000));
}

TEST_F(PicturesTest, MusicButtonReplacesTheTextOnlyWhenAFileIsChosen) {
    open();
    auto* music = control<QLineEdit>("txtMdata");
    files_.answer = {};
    form_->btnMdata_Click();
    EXPECT_EQ(music->text(), "");
    const FileRequest& asked = files_.seen.back();
    EXPECT_FALSE(asked.several);
    ASSERT_EQ(asked.filters.size(), 1);
    EXPECT_EQ(asked.filters[0].description, QStringLiteral("WAV,MID,MP3ﾌｧｧｲﾙ(*.WAV,*.MID,*.MP3)"));

    music->setText("typed by hand");
    files_.answer = {"/music/song.mp3"};
    form_->btnMdata_Click();
    EXPECT_EQ(music->text(), "/music/song.mp3");
    files_.answer = {};
    form_->btnMdata_Click();
    EXPECT_EQ(music->text(), "/music/song.mp3");

    // A path longer than the box's typing limit is kept whole.
    const QString deep = "/music/" + QString(300, u'd') + "/song.mid";
    files_.answer = {deep};
    form_->btnMdata_Click();
    EXPECT_EQ(music->text(), deep);

    // Choosing and storing music never plays it.
    form_->cmdOk_Click();
    EXPECT_TRUE(readSettings().contains(deep.toUtf8()));
    EXPECT_EQ(mci_.commands, QStringList());
}

TEST_F(PicturesTest, PicturesAddedAndRemovedAreSavedInListOrder) {
    open();
    choose({"/photos/a.jpg", "/photos/b.jpg", "/photos/c.jpg"});
    choose({"/more/d.jpg"});
    list()->item(1)->setSelected(true);
    form_->btnDel_Click();
    form_->cmdOk_Click();
    EXPECT_EQ(readSettings(),
              CrLfLines(kValues + QStringList{"/photos/a.jpg", "/photos/c.jpg", "/more/d.jpg"}));
}

}  // namespace
}  // namespace tavello::test
