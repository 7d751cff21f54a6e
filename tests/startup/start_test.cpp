#include "startup/Start.h"
#include "platform/Password.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace tavello {
namespace {

// Records every platform call in order, so the tests can check what start-up touched and when.
struct Journal {
    QStringList calls;
};

class FakeInstance final : public InstanceService {
  public:
    explicit FakeInstance(Journal& j, bool previous) : j_(j), previous_(previous) {}
    bool PrevInstance() override {
        j_.calls << "PrevInstance";
        return previous_;
    }

  private:
    Journal& j_;
    bool previous_;
};

class FakeRegistry final : public Registry {
  public:
    explicit FakeRegistry(Journal& j) : j_(j) {}
    std::optional<QByteArray> value;  // nullopt: value missing
    bool keyExists = true;

    std::int32_t RegOpenKeyExA(HKEY root, const QString& subKey, std::uint32_t options,
                               std::uint32_t access, HKEY* result) override {
        j_.calls << "RegOpenKeyExA";
        EXPECT_EQ(root, HKEY_CURRENT_USER);
        EXPECT_EQ(subKey, "Control Panel\\desktop");
        EXPECT_EQ(options, 0u);
        EXPECT_EQ(access, KEY_QUERY_VALUE);
        if (!keyExists) return ERROR_FILE_NOT_FOUND;
        *result = 42;
        return ERROR_SUCCESS;
    }
    std::int32_t RegQueryValueExA(HKEY key, const QString& name, std::uint32_t*,
                                  std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override {
        j_.calls << "RegQueryValueExA";
        EXPECT_EQ(key, 42u);
        EXPECT_EQ(name, "ScreenSaveUsePassword");
        EXPECT_EQ(*type, REG_DWORD);
        EXPECT_EQ(*size, 4u);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(data[i], 0) << "buffer preset to 0";
        if (!value) return ERROR_FILE_NOT_FOUND;
        if (static_cast<std::uint32_t>(value->size()) > *size) return ERROR_MORE_DATA;
        for (int i = 0; i < value->size(); ++i) data[i] = static_cast<std::uint8_t>((*value)[i]);
        *size = static_cast<std::uint32_t>(value->size());
        return ERROR_SUCCESS;
    }
    std::int32_t RegCloseKey(HKEY key) override {
        j_.calls << "RegCloseKey";
        EXPECT_EQ(key, 42u);
        return ERROR_SUCCESS;
    }

  private:
    Journal& j_;
};

class FakePassword final : public PasswordService {
  public:
    explicit FakePassword(Journal& j) : j_(j) {}
    std::optional<std::int32_t> handle;
    std::int32_t VerifyScreenSavePwd(QWidget*) override { return 0; }
    std::int32_t PwdChangePasswordA(const QString& provider, std::int32_t h, std::int32_t r1,
                                    std::int32_t r2) override {
        j_.calls << "PwdChangePasswordA";
        EXPECT_EQ(provider, "SCRSAVE");
        EXPECT_EQ(r1, 0);
        EXPECT_EQ(r2, 0);
        handle = h;
        return 0;
    }

  private:
    Journal& j_;
};

struct Harness {
    Journal journal;
    FakeInstance instance;
    FakeRegistry registry{journal};
    FakePassword password{journal};
    StartDeps deps;

    explicit Harness(bool previous = false) : instance(journal, previous) {
        deps.instance = &instance;
        deps.registry = &registry;
        deps.password = &password;
        deps.loadSaverWindow = [this] { journal.calls << "LoadForm1"; };
        deps.showSettingsDialog = [this] { journal.calls << "ShowForm2"; };
    }
    StartMode run(const QString& commandLine) { return Start(commandLine, deps); }
};

const QStringList kRegistryRead{"PrevInstance", "RegOpenKeyExA", "RegQueryValueExA", "RegCloseKey"};

TEST(StartTest, ModeKeyTable) {
    const struct {
        const char* commandLine;
        StartMode mode;
        const char* handOver;  // the last call, or nullptr for none
    } cases[] = {
        {"/s", StartMode::Show, "LoadForm1"},      {"/S", StartMode::Show, "LoadForm1"},
        {"/S 1234", StartMode::Show, "LoadForm1"}, {"/c", StartMode::Configure, "ShowForm2"},
        {"/C", StartMode::Configure, "ShowForm2"}, {"/c:99", StartMode::Configure, "ShowForm2"},
        {" /S", StartMode::None, nullptr},         {"", StartMode::None, nullptr},
        {"/P", StartMode::None, nullptr},          {"/p 1234", StartMode::None, nullptr},
        {"-s", StartMode::None, nullptr},          {"/", StartMode::None, nullptr},
        {"/SC", StartMode::Show, "LoadForm1"},
    };
    for (const auto& c : cases) {
        Harness h;
        EXPECT_EQ(h.run(c.commandLine), c.mode) << c.commandLine;
        QStringList expected = kRegistryRead;
        if (c.handOver) expected << c.handOver;
        EXPECT_EQ(h.journal.calls, expected) << c.commandLine;
    }
}

TEST(StartTest, ChangePasswordHandleTable) {
    const struct {
        const char* commandLine;
        std::int32_t handle;
    } cases[] =
        {
            {"/a 1234", 1234},     {"/A1234", 1234},  {"/a", 0},       {"/a:1234", 0},
            {"/a &H1F", 31},       {"/A  12.5 ", 12}, {"/A 13.5", 14}, {"/A -7", -7},
            {"/A 99999999999", 0},  // outside 32 bits: no window
        };
    for (const auto& c : cases) {
        Harness h;
        EXPECT_EQ(h.run(c.commandLine), StartMode::ChangePassword) << c.commandLine;
        EXPECT_EQ(h.password.handle, c.handle) << c.commandLine;
        EXPECT_EQ(h.journal.calls, kRegistryRead + QStringList{"PwdChangePasswordA"});
    }
}

TEST(StartTest, SecondInstanceDoesNothingAtAll) {
    for (const char* commandLine : {"/S", "/C", "/A 5", "/P", ""}) {
        Harness h(/*previous=*/true);
        EXPECT_EQ(h.run(commandLine), StartMode::SecondInstance);
        EXPECT_EQ(h.journal.calls, QStringList{"PrevInstance"}) << commandLine;
    }
}

TEST(StartTest, PasswordFlagFromRegistryBytes) {
    const struct {
        const char* name;
        bool keyExists;
        std::optional<QByteArray> value;
        std::int16_t flag;
    } cases[] = {
        {"01 00 00 00", true, QByteArray("\x01\x00\x00\x00", 4), 1},
        {"00 00 00 00", true, QByteArray("\x00\x00\x00\x00", 4), 0},
        {"missing value", true, std::nullopt, 0},
        {"missing key", false, std::nullopt, 0},
        {"one byte 01", true, QByteArray("\x01", 1), 1},
        {"five bytes", true, QByteArray("\x01\x00\x00\x00\x00", 5), 0},
        {"string \"1\"", true, QByteArray("1\0", 2), 0x31},
        {"beyond 16 bits stays on", true, QByteArray("\x00\x00\x01\x00", 4), -1},
    };
    for (const auto& c : cases) {
        Harness h;
        h.registry.keyExists = c.keyExists;
        h.registry.value = c.value;
        PasswordFlag = 77;
        h.run("/P");
        EXPECT_EQ(PasswordFlag, c.flag) << c.name;
        const bool closed = h.journal.calls.contains("RegCloseKey");
        EXPECT_EQ(closed, c.keyExists) << c.name << ": close exactly when the open succeeded";
    }
}

TEST(StartTest, CommandLineJoinsArgumentsWithSingleBlanks) {
    EXPECT_EQ(CommandLineFromArgs({}), "");
    EXPECT_EQ(CommandLineFromArgs({"/S", "1234"}), "/S 1234");
    EXPECT_EQ(CommandLineFromArgs({"/c:99"}), "/c:99");
    EXPECT_EQ(CommandLineFromArgs({" /S"}), " /S");
}

}  // namespace
}  // namespace tavello
