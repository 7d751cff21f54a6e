// The hack command line of the X11 screen-saver hosts, and that every classic one is left alone.

#include "host/HackOptions.h"

#include <gtest/gtest.h>

namespace tavello {
namespace {

TEST(HackOptionsTest, CommandLines) {
    const struct {
        QStringList args;
        const char* screensaverWindow;  // XSCREENSAVER_WINDOW
        bool hack;
        HostTarget target;
        std::uint32_t window;
        bool named;
        const char* display;
    } cases[] = {
        // The classic modes and the refused starts are not a hack's.
        {{"/S"}, "0x400001", false, {}, 0, false, ""},
        {{"/S", "--root"}, "0x400001", false, {}, 0, false, ""},
        {{"/c", "--window"}, "", false, {}, 0, false, ""},
        {{}, "0x400001", false, {}, 0, false, ""},
        {{"-s"}, "", false, {}, 0, false, ""},
        {{"-"}, "", false, {}, 0, false, ""},
        {{"--fps", "-delay", "5"}, "", false, {}, 0, false, ""},
        {{"-display", ":1"}, "", false, {}, 0, false, ""},
        // -root: the host's window from the environment, else the root window.
        {{"-root"}, "0x400001", true, HostTarget::HostWindow, 0x400001, false, ""},
        {{"--root"}, "4194305", true, HostTarget::HostWindow, 4194305, false, ""},
        {{"--root"}, "0X1f", true, HostTarget::HostWindow, 0x1f, false, ""},
        {{"--root"}, "", true, HostTarget::Root, 0, false, ""},
        {{"--root"}, "garbage", true, HostTarget::Root, 0, false, ""},
        {{"--root"}, "0", true, HostTarget::Root, 0, false, ""},
        {{"--root"}, "0x100000000", true, HostTarget::Root, 0, false, ""},
        // -window-id wins over -root, in either order, as a settings preview passes both.
        {{"--root", "--window-id", "0x2a"},
         "0x400001",
         true,
         HostTarget::HostWindow,
         0x2a,
         true,
         ""},
        {{"-window-id", "42", "-root"}, "", true, HostTarget::HostWindow, 42, true, ""},
        {{"--window-id=0x2a"}, "", true, HostTarget::HostWindow, 0x2a, true, ""},
        {{"-window-id", "nonsense", "-root"},
         "0x400001",
         true,
         HostTarget::HostWindow,
         0x400001,
         false,
         ""},
        {{"-window-id"}, "", false, {}, 0, false, ""},
        // -window: a window of our own; -root wins over it.
        {{"-window"}, "0x400001", true, HostTarget::OwnWindow, 0, false, ""},
        {{"--window", "--root"}, "", true, HostTarget::Root, 0, false, ""},
        // The display, and the options no show needs, whose values are not taken for ours.
        {{"-root", "-display", ":7"}, "0x5", true, HostTarget::HostWindow, 5, false, ":7"},
        {{"--display=host:0.1", "--root"}, "", true, HostTarget::Root, 0, false, "host:0.1"},
        {{"-fps", "-delay", "5", "-visual", "default", "-install", "-mono", "--root"},
         "0x5",
         true,
         HostTarget::HostWindow,
         5,
         false,
         ""},
        {{"-visual", "-window", "-root"}, "", true, HostTarget::Root, 0, false, ""},
        {{"-root", "stray", "/S"}, "", true, HostTarget::Root, 0, false, ""},
    };
    for (const auto& c : cases) {
        const QString label = c.args.join(u' ') + QStringLiteral(" | ") + c.screensaverWindow;
        const std::optional<HackOptions> options =
            ParseHackOptions(c.args, QString::fromLatin1(c.screensaverWindow));
        ASSERT_EQ(options.has_value(), c.hack) << label.toStdString();
        if (!options) continue;
        EXPECT_EQ(options->target, c.target) << label.toStdString();
        EXPECT_EQ(options->window, c.window) << label.toStdString();
        EXPECT_EQ(options->namedOnCommandLine, c.named) << label.toStdString();
        EXPECT_EQ(options->display, QString::fromLatin1(c.display)) << label.toStdString();
    }
}

TEST(HackOptionsTest, WindowIds) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> id;
    } cases[] = {
        {"123", 123u},
        {"0x1A", 0x1au},
        {"0Xff", 0xffu},
        {" 0x10 ", 0x10u},
        {"4294967295", 0xffffffffu},
        {"4294967296", {}},
        {"0", {}},
        {"0x", {}},
        {"", {}},
        {"-5", {}},
        {"+5", {}},
        {"12abc", {}},
        {"0x1g", {}},
        {"0x-1", {}},
        {"1 2", {}},
        {"１２", {}},  // full-width digits are no window id
    };
    for (const auto& c : cases) EXPECT_EQ(ParseWindowId(QString::fromUtf8(c.text)), c.id) << c.text;
}

}  // namespace
}  // namespace tavello
