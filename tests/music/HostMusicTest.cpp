// The music around the show in a host: opening a song on a worker thread.

#include "music/APIModule.h"
#include "music/BackgroundOpen.h"
#include "music/MciCommand.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tavello {
namespace {

// A device whose "open" does not return until the test lets it (as a soundfont load keeps it
// busy), and which records every command it carries out, in order.
class GatedMci final : public MciService {
  public:
    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override {
        const QByteArray& command = sent.command.text;
        std::unique_lock lock(mutex_);
        if (command.startsWith("open")) gate_.wait(lock, [this] { return open_; });
        seen.push_back(command);
        if (command == "play sng") playing_ = true;
        if (command.startsWith("stop")) playing_ = false;
        if (command == "status sng mode") reply = playing_ ? "playing" : "stopped";
        return 0;
    }
    void letOpen() {
        std::lock_guard lock(mutex_);
        open_ = true;
        gate_.notify_all();
    }
    std::vector<QByteArray> Seen() {
        std::lock_guard lock(mutex_);
        return seen;
    }
    std::vector<QByteArray> seen;

  private:
    std::mutex mutex_;
    std::condition_variable gate_;
    bool open_ = false;
    bool playing_ = false;
};

QByteArray Send(MciService& mci, const QByteArray& command, std::uint32_t* result = nullptr) {
    QByteArray reply = "untouched";
    const std::uint32_t r = mci.Send(ParseMciCommand(command), reply);
    if (result) *result = r;
    return reply;
}

TEST(BackgroundOpenTest, TheWindowGoesOnWhileTheSongOpens) {
    GatedMci device;
    BackgroundOpenMci mci(device);
    std::uint32_t result = 1;
    EXPECT_EQ(Send(mci, "open \"/m/a b.mid\" alias sng", &result), "");  // back at once
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(Send(mci, "status sng mode"), "stopped");  // opened, not yet asked to play
    EXPECT_EQ(Send(mci, "play sng", &result), "");
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(Send(mci, "status sng mode"), "playing");  // on its way: never "stopped" now
    EXPECT_EQ(Send(mci, "status sng mode"), "playing");
    EXPECT_TRUE(device.Seen().empty());

    device.letOpen();
    // Anything else waits for the open; the play was carried out as soon as it was done.
    Send(mci, "status sng position");
    EXPECT_EQ(Send(mci, "status sng mode"), "playing");
    EXPECT_EQ(device.Seen(), (std::vector<QByteArray>{"open \"/m/a b.mid\" alias sng", "play sng",
                                                      "status sng position", "status sng mode"}));
}

TEST(BackgroundOpenTest, CommandsReachTheDeviceOneAtATimeInTheirOrder) {
    const struct {
        const char* name;
        std::vector<QByteArray> sent;  // after the open, while it runs
        std::vector<QByteArray> seen;  // by the device, open excluded
    } cases[] = {
        {"OtherDeviceWaits", {"play sng", "status other mode"}, {"play sng", "status other mode"}},
        {"PlayAndWaitWaits", {"play sng wait"}, {"play sng wait"}},
        // A command the player does not know is still the device's to refuse, in its turn.
        {"UnknownVerbWaits", {"pause sng"}, {"pause sng"}},
        {"NoPlayNoPlaying", {"close sng"}, {"close sng"}},
        {"SecondOpenWaits",
         {"play sng", "open b.wav alias two", "play two"},
         {"play sng", "open b.wav alias two", "play two"}},
    };
    for (const auto& c : cases) {
        GatedMci device;
        BackgroundOpenMci mci(device);
        Send(mci, "open a.mid alias sng");
        std::thread opener([&] { device.letOpen(); });
        for (const QByteArray& command : c.sent) Send(mci, command);
        opener.join();
        Send(mci, "close all");  // settles everything
        std::vector<QByteArray> expected{"open a.mid alias sng"};
        expected.insert(expected.end(), c.seen.begin(), c.seen.end());
        expected.push_back("close all");
        EXPECT_EQ(device.Seen(), expected) << c.name;
    }
}

TEST(BackgroundOpenTest, StoppedWhileOpeningReturnsAtOnceAndEndsClosed) {
    GatedMci device;
    BackgroundOpenMci mci(device);
    APIModule music(mci);
    music.PlayMusic(QStringLiteral("/m/a.mid"));
    music.StopMusic();  // the show ends before the song was ready, and does not wait for it
    device.letOpen();
    Send(mci, "close all");  // settles everything: the late song is closed, never played
    EXPECT_EQ(device.Seen(),
              (std::vector<QByteArray>{"open \"/m/a.mid\" alias sng", "close sng", "close all"}));
}

}  // namespace
}  // namespace tavello
