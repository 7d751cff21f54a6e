// Settings files that no dialog wrote: huge, long, with NUL bytes, with broken Shift-JIS. Both
// readers take them through LoadSettings; the dialog must load each at once and show what it
// read, and OK must write back a file of whole lines.

#include "DialogTestKit.h"
#include "dialog/ListEntry.h"
#include "settings/SettingsFile.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStringEncoder>
#include <functional>
#include <optional>

namespace tavello::test {
namespace {

constexpr qsizetype kReadLimit = 64 * 1024 * 1024;
constexpr qsizetype kMostPictures = 100'000;

QByteArray PictureLines(int count) {
    QByteArray lines;
    for (int i = 0; i < count; ++i) lines += "/photos/p" + QByteArray::number(i) + ".jpg\r\n";
    return lines;
}

QByteArray BrokenShiftJis() {
    QStringEncoder sjis("Shift_JIS");
    // A lead byte right before a line end, and bytes that begin no character at all.
    return sjis.encode(QStringLiteral("5\r\nＭＳ Ｐゴシック\r\n48\r\n100%\r\n\r\n見出し")) +
           "\x82\r\n1\r\n" + sjis.encode(QStringLiteral("C:\\写真\\")) + "\xFF\xA0\x80.jpg\r\n" +
           "C:\\b.jpg";
}

// Bytes of a literal, NULs included.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

struct BadFile {
    const char* name;
    std::function<QByteArray()> bytes;  // made when its row runs: some are 64 MiB
    int speedBar;
    // As the dialog shows them; nullopt where undecodable bytes have no one right reading.
    std::optional<QString> headline;
    qsizetype pictures;
    std::optional<QString> firstPicture;
    QString lastPicture;
    bool random;
};

using BadFileTest = DialogTest;

TEST_F(BadFileTest, EveryBadSettingsFileLoadsWithSensibleValues) {
    const QByteArray values = CrLfLines({"5", "F", "48", "100%", "", "H", "1"});
    const BadFile rows[] = {
        {"64 MiB + 1 byte, the last line cut",
         [&] {
             const QByteArray head = values + PictureLines(3);
             return head + "/" + QByteArray(kReadLimit - head.size(), 'z');
         },
         5, "H", 3, "/photos/p0.jpg", "/photos/p2.jpg", true},
        {"64 MiB + 1 byte of line ends",
         [] { return QByteArray("\r\n").repeated(kReadLimit / 2) + "\r"; }, 1, "", kMostPictures,
         "", "", false},
        {"100,000 picture lines", [&] { return values + PictureLines(kMostPictures); }, 5, "H",
         kMostPictures, "/photos/p0.jpg", "/photos/p99999.jpg", true},
        {"more picture lines than are read",
         [&] { return values + PictureLines(kMostPictures + 5); }, 5, "H", kMostPictures,
         "/photos/p0.jpg", "/photos/p99999.jpg", true},
        {"NUL bytes in values and pictures",
         [] {
             return Bytes(
                 "7\0\r\nF\r\n48\r\n100%\r\n/m\0.mp3\r\nA\0B\r\n1\r\n/a\0.jpg\r\n\0\0\r\n");
         },
         7, QString::fromLatin1(Bytes("A\0B")), 2, QString::fromLatin1(Bytes("/a\0.jpg")),
         QString(2, QChar(u'\0')), true},
        {"nothing but NUL bytes", [] { return QByteArray(4096, '\0'); }, 1, "TAVELLO Ver1.00", 0,
         "", "", false},
        {"broken Shift-JIS", BrokenShiftJis, 5, std::nullopt, 2, std::nullopt, "C:\\b.jpg", true},
        {"a line feed inside values",
         [] {
             return QByteArray(
                 "8\r\nF\r\n48\r\n100%\r\n/m/a\nb.mp3\r\nA\nB\r\n0\r\n/p/a\nb.jpg\r\n");
         },
         8, "A B", 1, "/p/a\nb.jpg", "/p/a\nb.jpg", false},
    };
    for (const BadFile& row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(row.bytes());
        const SaverSettings read = LoadSettings(settingsFile());
        EXPECT_EQ(read.Pictures.size(), row.pictures);

        open(false);
        EXPECT_EQ(control<QScrollBar>("hscSpeed")->value(), row.speedBar);
        const QString headline = control<QLineEdit>("txtMidashi")->text();
        if (row.headline) {
            EXPECT_EQ(headline, *row.headline);
        }
        EXPECT_EQ(headline, OnOneLine(read.Headline));
        auto* list = control<QListWidget>("lstPic");
        EXPECT_EQ(list->count(), row.pictures);
        EXPECT_EQ(control<QLabel>("Totallbl")->text(), QString::number(row.pictures));
        if (row.pictures > 0 && list->count() == row.pictures) {
            if (row.firstPicture) {
                EXPECT_EQ(ListEntryOf(list->item(0)), *row.firstPicture);
            }
            EXPECT_EQ(ListEntryOf(list->item(list->count() - 1)), row.lastPicture);
        }
        EXPECT_EQ(control<QCheckBox>("RndChk")->isChecked(), row.random);

        // Written back, the file holds whole lines only, and reads back the same list.
        form_->cmdOk_Click();
        const QByteArray written = readSettings();
        EXPECT_EQ(written.count("\r\n"), 7 + row.pictures);
        EXPECT_EQ(written.count('\r'), 7 + row.pictures);
        const SaverSettings again = LoadSettings(settingsFile());
        EXPECT_EQ(again.Headline, headline);
        EXPECT_EQ(again.Pictures, read.Pictures);
    }
}

}  // namespace
}  // namespace tavello::test
