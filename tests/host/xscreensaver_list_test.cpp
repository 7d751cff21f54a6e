// Adding TAVELLO to xscreensaver's list of programs: the entry is there once, every other byte of
// the file stays, and a second run changes nothing.
#include "host/XScreensaverList.h"

#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QRegularExpression>
#include <optional>

namespace tavello {
namespace {

// The system's defaults in the app-defaults layout, as Debian's xscreensaver installs them
// (shortened): the list's last entry ends the setting without a continuation.
const QByteArray kSystemDefaults =
    "!\n!   XScreenSaver: defaults for new users\n!\n"
    "#error Do not run app-defaults files through xrdb!\n"
    "*mode:\t\t\trandom\n"
    "*timeout:\t\t0:10:00\n"
    "\n"
    "*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\\\n"
    "\t\t\t\tpopsquares --root\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsquirtorus --root\t\t\t    \\n\n"
    "\n"
    "*hacks.popsquares.name:     Pop Squares\n";

// A file as xscreensaver-settings writes it: the list ends with an empty continued line.
const QByteArray kWrittenBySettings =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for someone on Sat Dec  7 10:00:00 2024.\n"
    "# https://www.jwz.org/xscreensaver/\n"
    "\n"
    "timeout:\t0:10:00\n"
    "lock:\t\tFalse\n"
    "\n"
    "mode:\t\trandom\n"
    "selected:\t-1\n"
    "\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\\\n"
    "\t\t\t\tpopsquares --root\t\t\t    \\n\\\n"
    "\n"
    "\n"
    "pointerHysteresis:\t10\n";

// Edited by hand: comments, odd spacing, a key in capitals, switched-off entries, a quoted name,
// and a last entry that runs over two stored lines and must not be split.
const QByteArray kHandEdited =
    "# my settings\n"
    "timeout: 0:05:00\n"
    "! programs: tavello --root   (a comment, not a setting)\n"
    "Programs:   \\\n"
    "   qix --root   \\n\\\n"
    "-  GL:  cubestorm --root \\n\\\n"
    "  \"Attraction (balls)\"  attraction --root --mode balls \\n\\\n"
    "   attraction --root --mode lines \\\n"
    "        --points 3 --segments 200\n"
    "mode:   one\n"
    "selected: 2";

const QByteArray kTavelloListed =
    "programs: \\\n"
    "   maze --root \\n\\\n"
    "   \"TAVELLO\"   /opt/tavello/bin/tavello --root \\n\\\n"
    "   qix --root \\n\\\n"
    "\n";

const QByteArray kTavelloSwitchedOff =
    "programs: \\\n"
    "   maze --root \\n\\\n"
    "-  tavello --root \\n\\\n"
    "\n";

// A later "programs:" overrides an earlier one, so only the later one may change.
const QByteArray kTwoLists =
    "programs: maze --root\n"
    "timeout: 0:01:00\n"
    "programs: \\\n"
    "   qix --root \\n\\\n"
    "\n";

const QByteArray kTavello = "\"TAVELLO\" tavello --root";

// The programs xscreensaver would run, read independently of the code under test: the last
// setting whose key matches, continuations joined, one entry per "\n", blanks squeezed.
QByteArrayList Listed(const QByteArray& text, const QByteArray& key = "programs") {
    QByteArray joined = text;
    joined.replace("\\\n", "");
    QByteArray value;
    bool found = false;
    for (const QByteArray& line : joined.split('\n')) {
        const QByteArray s = line.trimmed();
        const qsizetype colon = s.indexOf(':');
        if (s.isEmpty() || s.startsWith('#') || s.startsWith('!') || colon < 0) continue;
        if (s.left(colon).toLower() == key) {
            value = s.mid(colon + 1);
            found = true;
        }
    }
    if (!found) return {};
    QByteArrayList entries;
    const QString programs = QString::fromUtf8(value.replace("\\n", "\n"));
    for (const QString& entry : programs.split(u'\n')) {
        const QString squeezed = entry.simplified();
        if (!squeezed.isEmpty()) entries << squeezed.toUtf8();
    }
    return entries;
}

// Whether after is before with exactly one run of bytes inserted.
bool IsOneInsertion(const QByteArray& before, const QByteArray& after) {
    if (after.size() <= before.size()) return false;
    qsizetype same = 0;
    while (same < before.size() && before[same] == after[same]) ++same;
    return after.endsWith(before.mid(same));
}

using Change = XScreensaverListChange;

TEST(XScreensaverList, AddsTavelloOnceKeepingEveryOtherByte) {
    const QByteArrayList defaults = Listed(kSystemDefaults, "*programs");
    ASSERT_EQ(defaults.size(), 5);  // the fixture reads as intended
    struct Case {
        const char* name;
        std::optional<QByteArray> userFile;
        std::optional<QByteArray> systemDefaults;
        Change change;
        QByteArrayList programs;  // the list afterwards
    } const cases[] = {
        {"missing file: the system's list plus TAVELLO",
         std::nullopt,
         kSystemDefaults,
         Change::Created,
         {"maze --root", "- GL: superquadrics --root", "- noseguy --root", "popsquares --root",
          kTavello, "- GL: squirtorus --root"}},
        {"missing file, no system defaults",
         std::nullopt,
         std::nullopt,
         Change::Created,
         {kTavello}},
        {"written by xscreensaver-settings",
         kWrittenBySettings,
         kSystemDefaults,
         Change::Added,
         {"maze --root", "GL: superquadrics --root", "- noseguy --root", "popsquares --root",
          kTavello}},
        {"edited by hand",
         kHandEdited,
         kSystemDefaults,
         Change::Added,
         {"qix --root", "- GL: cubestorm --root",
          "\"Attraction (balls)\" attraction --root --mode balls", kTavello,
          "attraction --root --mode lines --points 3 --segments 200"}},
        {"no list of its own: the system's list joins",
         QByteArray("timeout: 0:05:00\nlock: True"),
         kSystemDefaults,
         Change::Added,
         {"maze --root", "- GL: superquadrics --root", "- noseguy --root", "popsquares --root",
          kTavello, "- GL: squirtorus --root"}},
        {"the whole list on one line",
         QByteArray("programs: qix --root\n"),
         kSystemDefaults,
         Change::Added,
         {"qix --root", kTavello}},
        {"an empty file", QByteArray(), std::nullopt, Change::Added, {kTavello}},
        {"two lists: the later one counts",
         kTwoLists,
         kSystemDefaults,
         Change::Added,
         {"qix --root", kTavello}},
        {"listed already", kTavelloListed, kSystemDefaults, Change::AlreadyListed,
         Listed(kTavelloListed)},
        {"listed but switched off", kTavelloSwitchedOff, kSystemDefaults,
         Change::AlreadyListedDisabled, Listed(kTavelloSwitchedOff)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto first =
            AddTavelloToXScreensaverList(c.userFile, c.systemDefaults, "tavello --root");
        EXPECT_EQ(first.change, c.change);
        EXPECT_EQ(Listed(first.text), c.programs);
        if (c.change == Change::Added) {
            EXPECT_TRUE(IsOneInsertion(*c.userFile, first.text));
        }
        if (c.change == Change::AlreadyListed || c.change == Change::AlreadyListedDisabled) {
            EXPECT_EQ(first.text, *c.userFile);
        }
        if (c.change == Change::Created) {
            // Only comments come before the list.
            const QByteArray head = first.text.left(first.text.indexOf("programs:"));
            for (const QByteArray& line : head.split('\n'))
                EXPECT_TRUE(line.isEmpty() || line.startsWith('#')) << line.constData();
        }
        const auto second =
            AddTavelloToXScreensaverList(first.text, c.systemDefaults, "tavello --root");
        EXPECT_EQ(second.text, first.text);
        EXPECT_NE(second.change, Change::Added);
        EXPECT_NE(second.change, Change::Created);
    }
}

// The entry is laid out as xscreensaver-settings lays out its own, so its next rewrite of the
// file leaves the line as it is; a path with blanks keeps its quotes.
TEST(XScreensaverList, EntryLineMatchesTheSettingsProgramsLayout) {
    struct Case {
        QByteArray command;
        QByteArray inserted;
    } const cases[] = {
        {"tavello --root", "\t\t     \"TAVELLO\" \ttavello --root\t\t\t\t    \\n\\\n"},
        {"'/opt/my saver/tavello' --root",
         "\t\t     \"TAVELLO\" \t'/opt/my saver/tavello' --root\t\t    \\n\\\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.constData());
        const auto result =
            AddTavelloToXScreensaverList(kWrittenBySettings, std::nullopt, c.command);
        const QByteArray list = "\t\t\t\tpopsquares --root\t\t\t    \\n\\\n";
        const qsizetype at = kWrittenBySettings.indexOf(list) + list.size();
        EXPECT_EQ(result.text.mid(at, c.inserted.size()), c.inserted);
        EXPECT_EQ(result.text.size(), kWrittenBySettings.size() + c.inserted.size());
    }
}

TEST(XScreensaverList, ImageDirectoryIsReadAsXScreensaverReadsIt) {
    const struct {
        const char* what;
        QByteArray file;
        std::optional<QString> folder;
    } cases[] = {
        {"plain", "mode: random\nimageDirectory:\t/srv/photos\n", "/srv/photos"},
        {"home", "imageDirectory: ~/Pictures  \n", "/home/u/Pictures"},
        {"home alone", "imageDirectory: ~\n", "/home/u"},
        {"another user's home is not ours", "imageDirectory: ~bob/p\n", "~bob/p"},
        {"any case, the last one wins", "imageDirectory: /a\nIMAGEDIRECTORY: /b\n", "/b"},
        {"continued on the next line", "imageDirectory: /my\\\n/photos\n", "/my/photos"},
        {"commented out", "# imageDirectory: /a\n! imageDirectory: /b\n", std::nullopt},
        {"empty", "imageDirectory:\n", std::nullopt},
        {"a feed, not a folder", "imageDirectory: https://example.org/feed\n", std::nullopt},
        {"not set", "programs: xlock\n", std::nullopt},
        {"UTF-8 names", "imageDirectory: /写真\n", QStringLiteral("/写真")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XScreensaverImageDirectory(c.file, "/home/u"), c.folder) << c.what;
}

}  // namespace
}  // namespace tavello
