#include "platform/Registry.h"
#include "platform/RegFile.h"
#include "platform/linux/FlockInstance.h"
#include "platform/linux/UserReg.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
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

// The query semantics the start-up reading relies on, over the real user.reg stand-in.
TEST(FileRegistryTest, QueryFillsTheBufferOrFails) {
    TestDir dir;
    dir.write("tavello/user.reg",
              "REGEDIT4\r\n[HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n"
              "\"One\"=hex:01\r\n\"Five\"=hex:01,02,03,04,05\r\n\"On\"=dword:00000001\r\n");
    Registry& reg = SystemRegistry();
    HKEY key = 0;
    ASSERT_EQ(
        reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_QUERY_VALUE, &key),
        ERROR_SUCCESS);
    const struct {
        const char* name;
        std::int32_t result;
        QByteArray buffer;
    } cases[] = {
        {"On", ERROR_SUCCESS, QByteArray("\x01\x00\x00\x00", 4)},
        {"One", ERROR_SUCCESS, QByteArray("\x01\x00\x00\x00", 4)},  // rest stays as preset
        {"Five", ERROR_MORE_DATA, QByteArray("\x00\x00\x00\x00", 4)},
        {"Missing", ERROR_FILE_NOT_FOUND, QByteArray("\x00\x00\x00\x00", 4)},
    };
    for (const auto& c : cases) {
        std::uint8_t data[4] = {0, 0, 0, 0};
        std::uint32_t size = 4, type = REG_DWORD;
        EXPECT_EQ(reg.RegQueryValueExA(key, c.name, nullptr, &type, data, &size), c.result)
            << c.name;
        EXPECT_EQ(QByteArray(reinterpret_cast<char*>(data), 4), c.buffer) << c.name;
    }
    EXPECT_EQ(reg.RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_NE(reg.RegCloseKey(key), ERROR_SUCCESS);

    HKEY missing = 0;
    EXPECT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\nothing", 0, KEY_QUERY_VALUE,
                                &missing),
              ERROR_FILE_NOT_FOUND);
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

// The value as start-up reads it: through the registry stand-in, into a zeroed 4-byte buffer.
std::optional<QByteArray> Query(const QString& subKey, const QString& name) {
    Registry& reg = SystemRegistry();
    HKEY key = 0;
    if (reg.RegOpenKeyExA(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    QByteArray data(64, '\0');
    std::uint32_t size = 64, type = 0;
    const auto result = reg.RegQueryValueExA(key, name, nullptr, &type,
                                             reinterpret_cast<std::uint8_t*>(data.data()), &size);
    reg.RegCloseKey(key);
    if (result != ERROR_SUCCESS) return std::nullopt;
    return data.left(size);
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

TEST(SingleInstanceTest, SecondHolderIsRefusedUntilTheFirstIsGone) {
    TestDir dir;
    const QString lock = dir.file("t.lock");
    dir.write("t.lock", "left behind by a crash");
    {
        FlockInstance first(lock);
        EXPECT_FALSE(first.PrevInstance()) << "a stale lock file does not block";
        FlockInstance second(lock);
        EXPECT_TRUE(second.PrevInstance());
        EXPECT_TRUE(second.PrevInstance()) << "the answer stays";
    }
    FlockInstance third(lock);
    EXPECT_FALSE(third.PrevInstance()) << "released with its holder";
}

TEST(SingleInstanceTest, LockHeldByAnotherProcessIsSeen) {
    TestDir dir;
    const QString lock = dir.file("t.lock");
    QProcess holder;
    holder.start("flock", {lock, "sleep", "30"});
    ASSERT_TRUE(holder.waitForStarted());
    bool seen = false;
    for (int i = 0; i < 250 && !seen; ++i) {  // until flock has taken it (bounded)
        FlockInstance probe(lock);
        seen = probe.PrevInstance();
        if (!seen) QThread::msleep(20);
    }
    EXPECT_TRUE(seen);
    holder.kill();
    holder.waitForFinished();
}

}  // namespace
}  // namespace tavello
