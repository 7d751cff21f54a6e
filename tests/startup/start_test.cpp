#include "startup/Start.h"
#include "platform/Password.h"
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

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
    FakePassword password{journal};

    explicit Harness(bool previous = false) : instance(journal, previous) {}
    StartDecision run(const QString& commandLine) { return DecideStart(commandLine, instance); }
};

// Only the modes with a window go on to reach the window system; the others end at once.
TEST(StartTest, ModeKeyTable) {
    const struct {
        const char* commandLine;
        StartMode mode;
        bool window;
    } cases[] = {
        {"/s", StartMode::Show, true},      {"/S", StartMode::Show, true},
        {"/S 1234", StartMode::Show, true}, {"/c", StartMode::Configure, true},
        {"/C", StartMode::Configure, true}, {"/c:99", StartMode::Configure, true},
        {" /S", StartMode::None, false},    {"", StartMode::None, false},
        {"/P", StartMode::None, false},     {"/p 1234", StartMode::None, false},
        {"-s", StartMode::None, false},     {"/", StartMode::None, false},
        {"/SC", StartMode::Show, true},     {"/a 1", StartMode::ChangePassword, true},
    };
    for (const auto& c : cases) {
        Harness h;
        EXPECT_EQ(h.run(c.commandLine).mode, c.mode) << c.commandLine;
        EXPECT_EQ(NeedsWindow(c.mode), c.window) << c.commandLine;
        EXPECT_EQ(h.journal.calls, QStringList{"PrevInstance"}) << c.commandLine;
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
        const StartDecision decision = h.run(c.commandLine);
        EXPECT_EQ(decision.mode, StartMode::ChangePassword) << c.commandLine;
        EXPECT_EQ(decision.windowHandle, c.handle) << c.commandLine;
        ChangePassword(decision, h.password);
        EXPECT_EQ(h.password.handle, c.handle) << c.commandLine;
        EXPECT_EQ(h.journal.calls, (QStringList{"PrevInstance", "PwdChangePasswordA"}));
    }
}

TEST(StartTest, SecondInstanceDoesNothingAtAll) {
    EXPECT_FALSE(NeedsWindow(StartMode::SecondInstance));
    for (const char* commandLine : {"/S", "/C", "/A 5", "/P", ""}) {
        Harness h(/*previous=*/true);
        EXPECT_EQ(h.run(commandLine).mode, StartMode::SecondInstance);
        EXPECT_EQ(h.journal.calls, QStringList{"PrevInstance"}) << commandLine;
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
