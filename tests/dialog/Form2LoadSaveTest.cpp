// Loading the dialog from the settings file, and what OK, Cancel and the close box do to it.

#include "DialogTestKit.h"
#include "support/CommaLocale.h"
#include "toolkit/Toolkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

namespace tavello::test {
namespace {

using test::Items;  // the kit's, for the list, beside the combo box's below

QStringList Items(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

QStringList Paths(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths << QStringLiteral("/photos/p%1.jpg").arg(i, 4, 10, QChar(u'0'));
    return paths;
}

const QStringList kValues{"5", "ＭＳ Ｐゴシック", "48", "100%", "", "TAVELLO Ver1.00", "0"};

bool SortedCaseInsensitive(const QStringList& items) {
    for (int i = 1; i < items.size(); ++i)
        if (items[i - 1].compare(items[i], Qt::CaseInsensitive) > 0) return false;
    return true;
}

using LoadTest = DialogTest;

TEST_F(LoadTest, WithoutAFileTheDefaultsShowAndNothingIsWritten) {
    open();
    EXPECT_EQ(form_->settingsPath(), QDir(dir_.settingsFolder()).filePath("TAVELLO.INI"));
    EXPECT_EQ(control<QScrollBar>("hscSpeed")->value(), 5);
    EXPECT_EQ(control<QLabel>("lblSecond")->text(), QStringLiteral(" 5秒"));
    EXPECT_EQ(control<QComboBox>("cmbFont")->currentText(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(control<QComboBox>("cmbFontsize")->currentText(), "48");
    EXPECT_EQ(control<QComboBox>("cmbPicsize")->currentText(), "100%");
    EXPECT_EQ(control<QLineEdit>("txtMidashi")->text(), "TAVELLO Ver1.00");
    EXPECT_EQ(control<QLineEdit>("txtMdata")->text(), "");
    EXPECT_FALSE(control<QCheckBox>("RndChk")->isChecked());
    EXPECT_EQ(control<QListWidget>("lstPic")->count(), 0);
    EXPECT_EQ(control<QLabel>("Totallbl")->text(), "0");
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

TEST_F(LoadTest, PicturesComeInFileOrderWithTheirTotal) {
    writeSettings(CrLfLines(kValues + Paths(25)));
    open();
    EXPECT_EQ(Items(control<QListWidget>("lstPic")), Paths(25));
    EXPECT_EQ(control<QLabel>("Totallbl")->text(), "25");
}

TEST_F(LoadTest, SixLineLayoutReadsTheSeventhLineAsAPicture) {
    writeSettings(CrLfLines(kValues.mid(0, 6) + Paths(3)));
    open();
    EXPECT_EQ(Items(control<QListWidget>("lstPic")), Paths(3));
    EXPECT_FALSE(control<QCheckBox>("RndChk")->isChecked());
    EXPECT_EQ(control<QLabel>("Totallbl")->text(), "3");
}

TEST_F(LoadTest, SpeedIsRoundedHalfToEvenAndKeptInTheBarsRange) {
    const struct {
        const char* speed;
        int value;
    } rows[] = {{"2.5", 2}, {"3.5", 4}, {"7", 7},    {" 9", 9},  {"10", 10},
                {"1", 1},   {"0", 1},   {"-4", 1},   {"11", 10}, {"1e9", 10},
                {"abc", 1}, {"", 1},    {"&HA", 10}, {"6x", 6}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.speed);
        QStringList values = kValues;
        values[0] = QString::fromUtf8(row.speed);
        writeSettings(CrLfLines(values));
        open();
        EXPECT_EQ(control<QScrollBar>("hscSpeed")->value(), row.value);
        EXPECT_EQ(control<QLabel>("lblSecond")->text(), QStringLiteral(" %1秒").arg(row.value));
    }
}

TEST_F(LoadTest, SpeedReadsItsPointInACommaLocale) {
    // The toolkit has set the C library's locale from the environment; a German user's must not
    // turn 3.5 into 3.
    const CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << CommaLocale::kMissing;
    const struct {
        const char* speed;
        int value;
    } rows[] = {{"3.5", 4}, {"2.5", 2}, {"9.5", 10}, {"1.6", 2}, {"4,5", 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.speed);
        QStringList values = kValues;
        values[0] = QString::fromUtf8(row.speed);
        writeSettings(CrLfLines(values));
        open();
        EXPECT_EQ(control<QScrollBar>("hscSpeed")->value(), row.value);
    }
}

TEST_F(LoadTest, SpeedOfOneStillGetsItsLabel) {
    // The bar starts at 1, so loading 1 changes nothing; the label is set all the same.
    QStringList values = kValues;
    values[0] = "1";
    writeSettings(CrLfLines(values));
    open();
    EXPECT_EQ(control<QLabel>("lblSecond")->text(), QStringLiteral(" 1秒"));
}

TEST_F(LoadTest, BoxesShowTheirValuesAndKeepUnknownOnes) {
    const QString installed = ScreenFonts().value(0);
    ASSERT_FALSE(installed.isEmpty());
    const struct {
        QString font, size, picsize, random;
        bool fontExtra, picsizeExtra, ticked;
    } rows[] = {
        {installed, "48", "画面の大きさに調整", "1", false, false, true},
        {"No Such Face", "100", "300%", "0", true, true, false},
        {"ＭＳ Ｐゴシック", "0012", "25%", "abc", true, false, false},
        {installed, "", "100%", "", false, false, false},
        {installed, "12345", "", "1", false, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.font.toStdString() + " / " + row.picsize.toStdString());
        writeSettings(CrLfLines({"5", row.font, row.size, row.picsize, "", "", row.random}));
        open();
        auto* font = control<QComboBox>("cmbFont");
        EXPECT_EQ(font->currentText(), row.font);
        EXPECT_EQ(font->count(), ScreenFonts().size() + (row.fontExtra ? 1 : 0));
        EXPECT_TRUE(SortedCaseInsensitive(Items(font)));
        EXPECT_EQ(control<QComboBox>("cmbFontsize")->currentText(), row.size);
        auto* picsize = control<QComboBox>("cmbPicsize");
        EXPECT_EQ(picsize->currentText(), row.picsize);
        EXPECT_EQ(picsize->count(), row.picsizeExtra ? 9 : 8);
        EXPECT_EQ(control<QCheckBox>("RndChk")->isChecked(), row.ticked);
    }
}

TEST_F(LoadTest, LongTextsAreKeptWhole) {
    const QString longPath = "/music/" + QString(400, u'm') + ".mp3";
    const QString longHeadline = QString(300, u'見');
    writeSettings(CrLfLines({"5", "x", "48", "100%", longPath, longHeadline, "0"}));
    open();
    EXPECT_EQ(control<QLineEdit>("txtMdata")->text(), longPath);
    EXPECT_EQ(control<QLineEdit>("txtMidashi")->text(), longHeadline);
}

using SaveTest = DialogTest;

TEST_F(SaveTest, OkWithDefaultsCreatesASevenLineFile) {
    open();
    form_->cmdOk_Click();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(readSettings(), CrLfLines(kValues));
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(SaveTest, OkStoresWhatTheControlsHold) {
    writeSettings(CrLfLines(kValues + Paths(3)));
    open();
    control<QScrollBar>("hscSpeed")->setValue(3);
    control<QComboBox>("cmbFontsize")->setEditText("72");
    control<QComboBox>("cmbPicsize")->setCurrentIndex(7);
    control<QLineEdit>("txtMdata")->setText("");
    control<QLineEdit>("txtMidashi")->setText("");
    control<QCheckBox>("RndChk")->setChecked(true);
    auto* list = control<QListWidget>("lstPic");
    list->item(1)->setSelected(true);
    form_->btnDel_Click();
    list->addItem("/photos/new.jpg");
    form_->cmdOk_Click();
    EXPECT_EQ(readSettings(), CrLfLines({"3", "ＭＳ Ｐゴシック", "72", "画面の大きさに調整", "", "",
                                         "1", Paths(3)[0], Paths(3)[2], "/photos/new.jpg"}));
}

TEST_F(SaveTest, RoundTripOfAFileTheDialogWroteLeavesItUnchanged) {
    const QStringList files[] = {
        kValues,
        kValues + Paths(25),
        {"10", "No Such Face", "100", "300%", "/music/" + QString(300, u'x') + ".mid", "見出し",
         "1", "", "/photos/a b.jpg", ""},
    };
    for (const QStringList& lines : files) {
        writeSettings(CrLfLines(lines));
        open();
        form_->cmdOk_Click();
        EXPECT_EQ(readSettings(), CrLfLines(lines));
    }
}

TEST_F(SaveTest, EntriesWithControlCharactersAreShownReadablyAndSavedExactly) {
    // A lone LF is part of its line in the file, so a name holding one can be listed there.
    const QString folder = dir_.file("nl\ndir"), file = dir_.file("tab\tand\nlf.jpg");
    const QStringList read{folder + "/", "/photos/a\x01\x1b\x7f.jpg", file};
    const struct {
        const char* how;
        QStringList chosenFiles;
        QString chosenFolder;
        QStringList added;
    } rows[] = {
        {"read from the file", {}, {}, {}},
        {"added by the file dialog", {file}, {}, {file}},
        {"added by the folder chooser", {}, folder, {folder + "/"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        writeSettings(CrLfLines(kValues + read));
        open();
        files_.answer = row.chosenFiles;
        files_.folderAnswer = row.chosenFolder;
        form_->btnPic_Click();
        form_->mnuAddFolder_Click();
        const QString shown = Items(control<QListWidget>("lstPic")).join(u'/');
        EXPECT_FALSE(shown.contains(QRegularExpression("[\\x00-\\x1f\\x7f]")))
            << shown.toStdString();
        form_->cmdOk_Click();
        EXPECT_EQ(readSettings().toStdString(),
                  CrLfLines(kValues + read + row.added).toStdString());
    }
}

TEST_F(SaveTest, CancelAndTheCloseBoxLeaveTheFileAlone) {
    const QByteArray original = CrLfLines(kValues + Paths(2)) + "tail without ending";
    for (int way = 0; way < 2; ++way) {
        writeSettings(original);
        open();
        control<QScrollBar>("hscSpeed")->setValue(9);
        control<QListWidget>("lstPic")->addItem("/photos/extra.jpg");
        if (way == 0)
            QTest::mouseClick(control("btnCancel"), Qt::LeftButton);
        else
            form_->close();
        EXPECT_FALSE(form_->isVisible());
        EXPECT_EQ(readSettings(), original);
    }
    QFile::remove(settingsFile());
    open();
    QTest::mouseClick(control("btnCancel"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

TEST_F(SaveTest, AFailedSaveSaysSoAndKeepsTheDialogOpen) {
    // The settings folder's name is taken by a plain file, so nothing can be written there.
    dir_.write(dir_.settingsFolder(), "not a folder");
    open();
    form_->cmdOk_Click();
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_TRUE(messages_.shown[0].text.startsWith(QStringLiteral("設定を保存できませんでした。")));
    EXPECT_EQ(messages_.shown[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(dir_.read(dir_.settingsFolder()), QByteArray("not a folder"));

    // Once the obstacle is gone, OK works from the same dialog.
    QFile::remove(dir_.settingsFolder());
    form_->cmdOk_Click();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(readSettings(), CrLfLines(kValues));
}

TEST_F(SaveTest, AFolderInThePlaceOfTheFileIsReportedAndLeftAlone) {
    QDir().mkpath(settingsFile());
    open();
    form_->cmdOk_Click();
    EXPECT_EQ(messages_.shown.size(), 1u);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(QFileInfo(settingsFile()).isDir());
}

}  // namespace
}  // namespace tavello::test
