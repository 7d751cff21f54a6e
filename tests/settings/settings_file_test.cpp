#include "settings/SettingsFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <csignal>
#include <functional>

namespace tavello {
namespace {

using test::TestDir;

QByteArray Utf8(const char* s) {
    return QByteArray(s);
}

SaverSettings Sample() {
    SaverSettings s;
    s.Speed = "5";
    s.HeadlineFont = QStringLiteral("IPAGothic");
    s.HeadlineSize = "48";
    s.PicSize = QStringLiteral("画面の大きさに調整");
    s.MusicFile = QStringLiteral("/home/太郎/音楽/a b.mid");
    s.Headline = QStringLiteral("夏休み　2026");
    s.RandomOrder = "1";
    s.Pictures = {QStringLiteral("/写真/海.jpg"), QString(), QStringLiteral("/photos/b c.bmp")};
    return s;
}

TEST(SettingsFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
    TestDir dir;
    const QString path = dir.file("TAVELLO.INI");
    const SaverSettings s = LoadSettings(path);
    EXPECT_EQ(s, DefaultSettings());
    EXPECT_EQ(s.HeadlineFont, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(s.HeadlineFont.size(), 8);
    EXPECT_EQ(s.Headline, "TAVELLO Ver1.00");
    EXPECT_TRUE(s.MusicFile.isEmpty());
    EXPECT_TRUE(s.Pictures.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(SettingsFileTest, NonRegularFileCountsAsMissing) {
    TestDir dir;
    QDir().mkpath(dir.file("TAVELLO.INI"));  // a folder of that name
    EXPECT_EQ(LoadSettings(dir.file("TAVELLO.INI")), DefaultSettings());
    ASSERT_EQ(mkfifo(dir.file("fifo.ini").toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(LoadSettings(dir.file("fifo.ini")), DefaultSettings());  // and does not block
}

TEST(SettingsFileTest, RoundTripWritesCrLfLinesAndReadsThemBack) {
    TestDir dir;
    const QString path = dir.file("sub/TAVELLO.INI");  // the folder is created on the first save
    const SaverSettings s = Sample();
    ASSERT_TRUE(SaveSettings(path, s).ok);
    const QByteArray bytes = dir.read(path);
    EXPECT_TRUE(bytes.startsWith("5\r\nIPAGothic\r\n48\r\n"));
    EXPECT_TRUE(bytes.endsWith("/photos/b c.bmp\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 10);
    EXPECT_EQ(bytes.count('\n'), 10);
    EXPECT_EQ(LoadSettings(path), s);
}

TEST(SettingsFileTest, EmptyListWritesExactlySevenLines) {
    TestDir dir;
    SaverSettings s = DefaultSettings();
    ASSERT_TRUE(SaveSettings(dir.file("T.INI"), s).ok);
    EXPECT_EQ(dir.read(dir.file("T.INI")),
              Utf8("5\r\nＭＳ Ｐゴシック\r\n48\r\n100%\r\n\r\nTAVELLO Ver1.00\r\n0\r\n"));
}

struct LayoutCase {
    const char* name;
    QByteArray file;
    QString randomOrder;
    QStringList pictures;
    QString speed;
};

TEST(SettingsFileTest, LineLayoutCases) {
    const LayoutCase cases[] = {
        {"seven lines, no pictures", "5\r\nF\r\n48\r\n100%\r\n\r\nH\r\n0\r\n", "0", {}, "5"},
        {"six-line layout",
         "5\r\nF\r\n48\r\n100%\r\n\r\nH\r\n/a.jpg\r\n/b.jpg\r\n",
         "0",
         {"/a.jpg", "/b.jpg"},
         "5"},
        {"flag 1 is no picture",
         "5\r\nF\r\n48\r\n100%\r\n\r\nH\r\n1\r\n/a.jpg\r\n",
         "1",
         {"/a.jpg"},
         "5"},
        {"last line without ending",
         "5\r\nF\r\n48\r\n100%\r\n\r\nH\r\n0\r\n/a.jpg\r\n/b.jpg",
         "0",
         {"/a.jpg", "/b.jpg"},
         "5"},
        {"empty picture line kept",
         "5\r\nF\r\n48\r\n100%\r\n\r\nH\r\n0\r\n/a.jpg\r\n\r\n/b\r\n",
         "0",
         {"/a.jpg", "", "/b"},
         "5"},
        {"lone LF is part of the line",
         "5\nx\r\nF\r\n48\r\n100%\r\n\r\nH\r\n0\r\n",
         "0",
         {},
         "5\nx"},
        {"lone CR ends a line", "5\rF\r48\r100%\r\rH\r0\r/a\r", "0", {"/a"}, "5"},
        {"empty seventh line reaches the reader",
         "5\r\nF\r\n48\r\n100%\r\n\r\nH\r\n\r\n",
         "",
         {},
         "5"},
        {"short file keeps defaults", "3\r\nF\r\n", "0", {}, "3"},
        {"byte-order marks stay off the first value",
         "\xEF\xBB\xBF\xEF\xBB\xBF"
         "5\r\nF\r\n48\r\n100%\r\n\r\nH\r\n0\r\n",
         "0",
         {},
         "5"},
    };
    for (const LayoutCase& c : cases) {
        TestDir dir;
        dir.write("T.INI", c.file);
        const SaverSettings s = LoadSettings(dir.file("T.INI"));
        EXPECT_EQ(s.RandomOrder, c.randomOrder) << c.name;
        EXPECT_EQ(s.Pictures, c.pictures) << c.name;
        EXPECT_EQ(s.Speed, c.speed) << c.name;
    }
}

TEST(SettingsFileTest, ShortFileTakesDefaultsForMissingValues) {
    TestDir dir;
    dir.write("T.INI", "3\r\nF\r\n");
    const SaverSettings s = LoadSettings(dir.file("T.INI"));
    EXPECT_EQ(s.HeadlineFont, "F");
    EXPECT_EQ(s.HeadlineSize, "48");
    EXPECT_EQ(s.Headline, "TAVELLO Ver1.00");
}

TEST(SettingsFileTest, ReadsShiftJisFileFromTheClassicPlatform) {
    TestDir dir;
    QStringEncoder sjis("Shift_JIS");
    ASSERT_TRUE(sjis.isValid());
    const QString text = QStringLiteral(
        "5\r\nＭＳ Ｐゴシック\r\n48\r\n画面の大きさに調整\r\nC:\\音楽\\a.mid\r\n見出し\r\n0\r\n"
        "C:\\写真\\海.jpg\r\n");
    QByteArray bytes = sjis.encode(text);
    dir.write("T.INI", bytes);
    const SaverSettings s = LoadSettings(dir.file("T.INI"));
    EXPECT_EQ(s.HeadlineFont, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(s.PicSize, QStringLiteral("画面の大きさに調整"));
    EXPECT_EQ(s.Headline, QStringLiteral("見出し"));
    EXPECT_EQ(s.Pictures, QStringList{QStringLiteral("C:\\写真\\海.jpg")});
}

// A text box can hold pasted line breaks and a file name can contain them; written as they are,
// they would split the file and shift every later value.
TEST(SettingsFileTest, LineBreaksInAValueNeverSplitTheFile) {
    QString SaverSettings::*const fields[] = {
        &SaverSettings::Speed,      &SaverSettings::HeadlineFont, &SaverSettings::HeadlineSize,
        &SaverSettings::PicSize,    &SaverSettings::MusicFile,    &SaverSettings::Headline,
        &SaverSettings::RandomOrder};
    const struct {
        const char* name;
        QString value;
        QString stored;
        QString pictureStored;  // a lone LF is part of a picture's line, so a name keeps it
    } rows[] = {
        {"CR LF between words", "Hello\r\nWorld", "Hello World", "Hello World"},
        {"lone CR", "a\rb", "a b", "a b"},
        {"lone LF", "a\nb", "a b", "a\nb"},
        {"a run of breaks is one blank", "Para\r\n\r\n\nnext\r\rend", "Para next end",
         "Para next end"},
        {"breaks at the ends go", "\r\n/music/a.mp3\n", "/music/a.mp3", "/music/a.mp3"},
        {"nothing but breaks", "\r\n\n", "", ""},
        {"every other character kept", QStringLiteral(" 　\t\"%1\x7f見\v\f "),
         QStringLiteral(" 　\t\"%1\x7f見\v\f "), QStringLiteral(" 　\t\"%1\x7f見\v\f ")},
    };
    for (const auto& row : rows) {
        // Each of the seven values in turn, then the first picture.
        for (std::size_t field = 0; field <= std::size(fields); ++field) {
            SCOPED_TRACE(std::string(row.name) + ", line " + std::to_string(field + 1));
            TestDir dir;
            SaverSettings s = Sample();
            SaverSettings expected = s;
            if (field < std::size(fields)) {
                s.*fields[field] = row.value;
                expected.*fields[field] = row.stored;
            } else {
                s.Pictures[0] = row.value;
                expected.Pictures[0] = row.pictureStored;
            }
            ASSERT_TRUE(SaveSettings(dir.file("T.INI"), s).ok);
            QStringList lines{expected.Speed,      expected.HeadlineFont, expected.HeadlineSize,
                              expected.PicSize,    expected.MusicFile,    expected.Headline,
                              expected.RandomOrder};
            lines += expected.Pictures;
            EXPECT_EQ(dir.read(dir.file("T.INI")), (lines.join("\r\n") + "\r\n").toUtf8());
        }
    }
    // What the dialog writes after a pasted headline reads back as one headline.
    TestDir dir;
    SaverSettings s = Sample();
    s.Headline = "Hello\r\nWorld";
    ASSERT_TRUE(SaveSettings(dir.file("T.INI"), s).ok);
    SaverSettings expected = Sample();
    expected.Headline = "Hello World";
    EXPECT_EQ(LoadSettings(dir.file("T.INI")), expected);
}

// The reader stops at 64 MiB; a file cut there must not end in part of a line.
TEST(SettingsFileTest, AFileCutAtTheLimitEndsAtItsLastWholeLine) {
    constexpr qsizetype kLimit = 64 * 1024 * 1024;
    const QByteArray head = Utf8("5\r\nF\r\n48\r\n100%\r\n\r\n見出し\r\n0\r\n/a.jpg\r\n");
    // head, then a picture line of x's whose CR LF ends right before the byte at offset end.
    const auto headAndLineEndingAt = [&](qsizetype end) {
        return head + "/" + QByteArray(end - head.size() - 3, 'x') + "\r\n";
    };
    // head, then three-byte characters laid so that the limit falls inside one of them.
    const auto headAndSplitCharacter = [&] {
        QByteArray file = head + "/";
        while ((kLimit - file.size()) % 3 != 1) file += "y";
        return file + QByteArray("見").repeated((kLimit - file.size()) / 3 + 1);
    };
    const struct {
        const char* name;
        std::function<QByteArray()> file;  // made when its row runs: each is 64 MiB
        QString headline;
        QStringList pictures;
        qsizetype longPicture;  // the length of a last picture of x's; 0 for none
    } rows[] = {
        {"a picture line crossing the limit, inside a character, is dropped",
         headAndSplitCharacter,
         QStringLiteral("見出し"),
         {"/a.jpg"},
         0},
        {"the limit between CR and LF keeps the line",
         [&] { return headAndLineEndingAt(kLimit + 1) + "/b.jpg\r\n"; },
         QStringLiteral("見出し"),
         {"/a.jpg"},
         kLimit - 1 - head.size()},
        {"a file of exactly the limit is whole",
         [&] { return headAndLineEndingAt(kLimit); },
         QStringLiteral("見出し"),
         {"/a.jpg"},
         kLimit - 2 - head.size()},
        {"64 MiB + 1 byte without a line ending gives the defaults",
         [&] { return QByteArray(kLimit + 1, '7'); },
         "TAVELLO Ver1.00",
         {},
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestDir dir;
        dir.write("T.INI", row.file());
        const SaverSettings s = LoadSettings(dir.file("T.INI"));
        EXPECT_EQ(s.Speed, "5");
        EXPECT_EQ(s.Headline, row.headline);
        EXPECT_EQ(s.Pictures.mid(0, row.pictures.size()), row.pictures);
        const qsizetype count = row.pictures.size() + (row.longPicture > 0 ? 1 : 0);
        EXPECT_EQ(s.Pictures.size(), count);
        if (row.longPicture > 0 && s.Pictures.size() == count) {
            EXPECT_EQ(s.Pictures.last().size(), row.longPicture);
            EXPECT_TRUE(s.Pictures.last().endsWith(u'x'));
        }
    }
}

TEST(SettingsFileTest, FailedSaveReportsAndLeavesTheOldFile) {
    // A file-size limit makes the write fail midway, like a full disk, even for root.
    TestDir dir;
    const QString path = dir.file("T.INI");
    ASSERT_TRUE(SaveSettings(path, DefaultSettings()).ok);
    const QByteArray before = dir.read(path);
    SaverSettings big = Sample();
    for (int i = 0; i < 200; ++i) big.Pictures << QStringLiteral("/photos/%1.jpg").arg(i);

    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResult result = SaveSettings(path, big);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(dir.read(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"T.INI"});  // no temp left
}

TEST(SettingsFileTest, SaveOverAFolderFailsInsteadOfPretending) {
    // Works as root too: a folder cannot be replaced by a file.
    TestDir dir;
    QDir().mkpath(dir.file("T.INI/inside"));
    const SaveResult result = SaveSettings(dir.file("T.INI"), Sample());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(QFileInfo(dir.file("T.INI/inside")).isDir());
}

TEST(SettingsFileTest, WinPathIsTheSettingsFolderWithSeparator) {
    TestDir dir;
    EXPECT_EQ(WinPath(), dir.settingsFolder() + "/");
    EXPECT_EQ(SettingsPath(), dir.settingsFolder() + "/TAVELLO.INI");
}

TEST(SettingsFileTest, WinPathSurvivesAFolderLongerThanTheClassicBuffer) {
    TestDir dir;
    const QString longBase = dir.path() + "/" + QString(300, u'x');
    setenv("XDG_CONFIG_HOME", longBase.toLocal8Bit().constData(), 1);
    EXPECT_EQ(WinPath(), longBase + "/tavello/");
}

TEST(SettingsFileTest, WinPathFallsBackToTheHomeConfigFolder) {
    TestDir dir;
    const QByteArray oldHome = qgetenv("HOME");
    const QString home = dir.file(QStringLiteral("home"));
    qputenv("HOME", home.toLocal8Bit());
    const struct {
        const char* what;
        const char* configHome;  // nullptr: unset
        QString expected;
    } rows[] = {
        {"set", "/srv/cfg", "/srv/cfg/tavello/"},
        {"empty", "", home + "/.config/tavello/"},
        {"unset", nullptr, home + "/.config/tavello/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.configHome)
            setenv("XDG_CONFIG_HOME", row.configHome, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(WinPath(), row.expected);
    }
    qputenv("HOME", oldHome);
}

}  // namespace
}  // namespace tavello
