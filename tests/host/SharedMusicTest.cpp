// The music of the shows in a host: one player per user, and the silence of a preview.

#include "host/SharedMusic.h"
#include "music/APIModule.h"
#include "music/MciCommand.h"
#include "platform/MusicLock.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavello {
namespace {

QByteArray Send(MciService& mci, const QByteArray& command, std::uint32_t* result = nullptr) {
    QByteArray reply = "untouched";
    const std::uint32_t r = mci.Send(ParseMciCommand(command), reply);
    if (result) *result = r;
    return reply;
}

class ScriptedLock final : public MusicLock {
  public:
    bool TryTake() override {
        ++tries;
        return free;
    }
    bool free = false;
    int tries = 0;
};

class RecordingMci final : public MciService {
  public:
    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override {
        seen.push_back(sent.command.text);
        reply = sent.command.text.startsWith("status") ? "playing" : "";
        return 0;
    }
    std::vector<QByteArray> seen;
};

TEST(SharedMusicTest, OnlyTheLockHolderIsHeardAndTheOthersTryAgainAtEachChange) {
    RecordingMci device;
    ScriptedLock lock;
    SharedMusicMci mci(device, lock);
    APIModule music(mci);

    // Another process plays: silence here, and a song that reads as over, so the show tries again.
    music.PlayMusic(QStringLiteral("/m/a.wav"));
    EXPECT_TRUE(music.MusicStatus().startsWith(QStringLiteral("stopped")));
    std::uint32_t result = 0;
    Send(mci, "status sng length", &result);
    EXPECT_NE(result, 0u);
    music.StopMusic();
    EXPECT_TRUE(device.seen.empty());
    EXPECT_EQ(lock.tries, 1);

    // That process has ended: the next restart takes the lock, and from then on all is heard.
    lock.free = true;
    music.PlayMusic(QStringLiteral("/m/a.wav"));
    EXPECT_TRUE(music.MusicStatus().startsWith(QStringLiteral("playing")));
    lock.free = false;  // held: never asked again
    music.StopMusic();
    EXPECT_EQ(device.seen,
              (std::vector<QByteArray>{"open \"/m/a.wav\" alias sng", "play sng", "status sng mode",
                                       "stop sng wait", "close sng"}));
    EXPECT_EQ(lock.tries, 2);
}

TEST(SharedMusicTest, APreviewIsSilentAndNeverRestartsItsSong) {
    SilentMci mci;
    APIModule music(mci);
    EXPECT_NE(music.PlayMusic(QStringLiteral("/m/a.wav")), 0);
    // No mode word at all: the show never takes it for a finished song to reopen.
    EXPECT_EQ(music.MusicStatus(), QString(APIModule::kReplyLength, QChar(0)));
    for (const char* command :
         {"open a.wav alias sng", "play sng", "status sng mode", "close sng"}) {
        std::uint32_t result = 0;
        EXPECT_EQ(Send(mci, command, &result), "") << command;
        EXPECT_NE(result, 0u) << command;
    }
}

}  // namespace
}  // namespace tavello
