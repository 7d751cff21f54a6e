#include "password/RegFile.h"
#include "password/UserReg.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <cstring>
#include <functional>
#include <optional>

namespace tavello {
namespace {

using test::TestDir;

const QString kDesktop = QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\desktop");

TEST(RegFileTest, ValueFormats) {
    const struct {
        const char* text;
        std::uint32_t type;
        QByteArray data;
    } cases[] = {
        {"dword:00000001", REG_DWORD, QByteArray("\x01\x00\x00\x00", 4)},
        {"dword:0000001F", REG_DWORD, QByteArray("\x1f\x00\x00\x00", 4)},
        {"hex:01", REG_BINARY, QByteArray("\x01", 1)},
        {"hex:01,00,00,00,00", REG_BINARY, QByteArray("\x01\x00\x00\x00\x00", 5)},
        {"hex(4):02,00,00,00", REG_DWORD, QByteArray("\x02\x00\x00\x00", 4)},
        {"\"1\"", REG_SZ, QByteArray("1\0", 2)},
        {"\"a\\\"b\"", REG_SZ, QByteArray("a\"b\0", 4)},
    };
    for (const auto& c : cases) {
        const auto v = ParseRegValue(QString::fromLatin1(c.text));
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(v->type, c.type) << c.text;
        EXPECT_EQ(v->data, c.data) << c.text;
    }
    for (const char* bad : {"dword:xyz", "hex:1ff", "word:1", "\"open", ""})
        EXPECT_FALSE(ParseRegValue(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(RegFileTest, SectionsNamesContinuationsAndCase) {
    const RegFile f =
        RegFile::Parse(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                      "; a comment\r\n"
                                      "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                                      "\"ScreenSaveUsePassword\"=hex:01,00,\\\r\n  00,00\r\n"
                                      "\"Wallpaper\"=\"C:\\\\w.bmp\"\r\n"
                                      "[HKEY_CURRENT_USER\\Other]\r\n"
                                      "\"ScreenSaveUsePassword\"=dword:00000000\r\n"));
    ASSERT_TRUE(f.hasKey(kDesktop));
    const auto v = f.value(kDesktop, "screensaveusepassword");
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->data, QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_EQ(f.value(kDesktop, "Wallpaper")->data, QByteArray("C:\\w.bmp\0", 9));
    EXPECT_FALSE(f.value(kDesktop, "Missing").has_value());
    EXPECT_FALSE(f.hasKey("HKEY_CURRENT_USER\\Control Panel"));
}

// The switch as the show and the "/A" dialog read it: whatever its type, a value of at most four
// bytes, zero-padded, is a number, and any number but 0 means on; everything else means off.
TEST(UserRegTest, SwitchReadsAsANumberOfAtMostFourBytes) {
    const QByteArray head = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n";
    const QByteArray name = "\"ScreenSaveUsePassword\"=";
    const struct {
        const char* what;
        QByteArray file;  // null: no file at all
        bool on;
    } cases[] = {
        {"dword 1", head + name + "dword:00000001\r\n", true},
        {"dword 0", head + name + "dword:00000000\r\n", false},
        {"no file", {}, false},
        {"missing value", head + "\"Wallpaper\"=\"w.bmp\"\r\n", false},
        {"missing key", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Other]\r\n" + name + "dword:00000001\r\n",
         false},
        {"one byte 01, the rest taken as 0", head + name + "hex:01\r\n", true},
        {"five bytes are no number", head + name + "hex:01,00,00,00,00\r\n", false},
        {"string \"1\"", head + name + "\"1\"\r\n", true},
        {"beyond 16 bits stays on", head + name + "hex:00,00,01,00\r\n", true},
        {"names in another case",
         "REGEDIT4\r\n[hkey_current_user\\control panel\\Desktop]\r\n"
         "\"screensaveusepassword\"=dword:00000001\r\n",
         true},
        {"the last of two counts", head + name + "dword:00000001\r\n" + name + "dword:00000000\r\n",
         false},
    };
    for (const auto& c : cases) {
        TestDir dir;
        if (!c.file.isNull()) dir.write("tavello/user.reg", c.file);
        EXPECT_EQ(ReadScreenSaveUsePassword(), c.on) << c.what;
    }
}

TEST(UserRegTest, SwitchIsWrittenAndReadBackKeepingOtherValues) {
    TestDir dir;
    dir.write("tavello/user.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n"
              "\"Wallpaper\"=\"w.bmp\"\r\n\"ScreenSaveUsePassword\"=dword:00000000\r\n");
    ASSERT_TRUE(WriteScreenSaveUsePassword(true));
    const RegFile f = RegFile::Parse(ReadUserRegText());
    EXPECT_EQ(f.value(kDesktop, "ScreenSaveUsePassword")->data, QByteArray("\x01\0\0\0", 4));
    EXPECT_EQ(f.value(kDesktop, "Wallpaper")->data, QByteArray("w.bmp\0", 6));
    EXPECT_EQ(ReadUserRegText().count("ScreenSaveUsePassword"), 1);
}

TEST(UserRegTest, CreatesTheFileAndSectionWhenMissing) {
    TestDir dir;
    ASSERT_TRUE(WriteScreenSaveUsePassword(true));
    ASSERT_TRUE(WriteScreenSaveUsePassword(false));
    const RegFile f = RegFile::Parse(ReadUserRegText());
    EXPECT_EQ(f.value(kDesktop, "ScreenSaveUsePassword")->data, QByteArray("\0\0\0\0", 4));
    EXPECT_TRUE(ReadUserRegText().startsWith("Windows Registry Editor Version 5.00"));
}

// A value as the file holds it, nullopt when its key or the value is missing.
std::optional<QByteArray> Query(const QString& subKey, const QString& name) {
    const std::optional<RegValue> value =
        RegFile::Parse(ReadUserRegText())
            .value(QStringLiteral("HKEY_CURRENT_USER\\") + subKey, name);
    if (!value) return std::nullopt;
    return value->data;
}

// Lines that name the switch, escapes in the name undone.
int SwitchLines(const QString& text) {
    int count = 0;
    for (QString line : text.split(u'\n'))
        count += line.remove(u'\\').contains("\"ScreenSaveUsePassword\"", Qt::CaseInsensitive);
    return count;
}

// Whatever the layout of the file, the switch reads back as it was just written, from one line,
// and the file's other values stay.
TEST(UserRegTest, SwitchReadsBackAsWrittenWhateverTheLayout) {
    const QByteArray head = "Windows Registry Editor Version 5.00\r\n\r\n";
    const QByteArray desk = "[HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n";
    const QByteArray other = "[HKEY_CURRENT_USER\\Other]\r\n\"Keep\"=dword:00000007\r\n";
    const QByteArray wall = "\"Wallpaper\"=\"w.bmp\"\r\n";
    const QByteArray on = "\"ScreenSaveUsePassword\"=dword:00000001\r\n";
    const QByteArray off = "\"ScreenSaveUsePassword\"=dword:00000000\r\n";
    const struct {
        const char* layout;
        QByteArray text;
    } cases[] = {
        {"plain", head + desk + wall + off + other},
        {"no file", {}},
        {"no desktop section", head + other},
        {"twice in one section", head + desk + off + wall + on + other},
        {"section repeated", head + desk + wall + on + other + desk + off},
        {"repeated section spelled otherwise",
         head + desk + wall + off + other + "[ hkey_current_user\\control panel\\Desktop ]\r\n" +
             on},
        {"broken string line before it",
         head + desk + wall + "\"Note\"=\"see =hex\\\r\n" + on + other},
        {"name written with an escape",
         head + desk + wall + "\"ScreenSave\\UsePassword\"=dword:00000001\r\n" + other},
        {"hex value after a continuation backslash",
         head + desk + wall + "\"Data\"=hex:01,02,\\\r\n\"ScreenSaveUsePassword\"=hex:01\r\n" +
             other},
        {"unreadable copy before the real one",
         head + desk + wall + "\"ScreenSaveUsePassword\"=dword:zz\r\n" + on + other},
        {"section header after a continuation backslash",
         head + other + "\"Data\"=hex:01,\\\r\n" + desk + wall + on},
        {"file ends in a continuation backslash", head + other + "\"Data\"=hex:01,\\"},
        {"dropping a copy would join a broken hex value to the next line",
         head + desk + wall + "\"Data\"=hex:01,\\\r\n" + off + "  02\r\n" + on + other},
    };
    const QString desktopKey = QStringLiteral("Control Panel\\desktop");
    for (const auto& c : cases) {
        for (const bool value : {true, false}) {
            SCOPED_TRACE(std::string(c.layout) + (value ? " / on" : " / off"));
            TestDir dir;
            if (!c.text.isNull()) dir.write("tavello/user.reg", c.text);
            const auto others = [&] {
                std::vector<std::optional<QByteArray>> read;
                for (const char* name : {"Wallpaper", "Note", "Data"})
                    read.push_back(Query(desktopKey, name));
                for (const char* name : {"Keep", "Data"}) read.push_back(Query("Other", name));
                return read;
            };
            const auto before = others();
            ASSERT_TRUE(WriteScreenSaveUsePassword(value));
            EXPECT_EQ(others(), before) << "every other value reads as before";
            EXPECT_EQ(Query(desktopKey, "ScreenSaveUsePassword"),
                      QByteArray(value ? "\x01\0\0\0" : "\0\0\0\0", 4));
            EXPECT_EQ(SwitchLines(ReadUserRegText()), 1);
            if (c.text.contains(wall)) {
                EXPECT_EQ(Query(desktopKey, "Wallpaper"), QByteArray("w.bmp\0", 6));
            }
            if (c.text.contains(other)) {
                EXPECT_EQ(Query("Other", "Keep"), QByteArray("\x07\0\0\0", 4));
            }
        }
    }
}

// A FIFO, a device or a folder at user.reg is no file: start-up reads nothing from it and never
// waits, and the switch is not written over it.
TEST(UserRegTest, WhatIsNotARegularFileCountsAsMissing) {
    const struct {
        const char* what;
        std::function<void(const TestDir&, const QString&)> make;
        bool writable;  // whether a write may be tried (never one that could reach a device)
    } cases[] = {
        {"fifo",
         [](const TestDir&, const QString& at) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(at).constData(), 0600), 0);
         },
         true},
        {"link to a fifo",
         [](const TestDir& dir, const QString& at) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("elsewhere")).constData(), 0600), 0);
             ASSERT_TRUE(QFile::link(dir.file("elsewhere"), at));
         },
         true},
        {"folder", [](const TestDir&, const QString& at) { ASSERT_TRUE(QDir().mkpath(at)); }, true},
        {"device",
         [](const TestDir&, const QString& at) { ASSERT_TRUE(QFile::link("/dev/zero", at)); },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestDir dir;
        ASSERT_TRUE(QDir().mkpath(dir.settingsFolder()));
        const QString at = UserRegPath();
        c.make(dir, at);
        EXPECT_EQ(ReadUserRegText(), QString());
        EXPECT_EQ(Query("Control Panel\\desktop", "ScreenSaveUsePassword"), std::nullopt);
        struct stat before {};
        ASSERT_EQ(::lstat(QFile::encodeName(at).constData(), &before), 0);
        if (!c.writable) continue;
        EXPECT_FALSE(WriteScreenSaveUsePassword(true));
        struct stat after {};
        ASSERT_EQ(::lstat(QFile::encodeName(at).constData(), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << "left as it was";
    }
}

}  // namespace
}  // namespace tavello
