#include "platform/Registry.h"
#include "platform/RegFile.h"
#include "platform/linux/FlockInstance.h"
#include "platform/linux/UserReg.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>
#include <cstring>

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
