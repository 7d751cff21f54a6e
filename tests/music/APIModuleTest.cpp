#include "music/APIModule.h"
#include "music/Mci.h"
#include "music/MciCommand.h"

#include <gtest/gtest.h>

#include <QString>
#include <map>
#include <vector>

namespace tavello {
namespace {

// Answers commands from a script and records every call; a failing answer leaves the reply
// empty.
class ScriptedMci : public MciService {
  public:
    struct Answer {
        std::uint32_t result = 0;
        QByteArray reply;
    };
    struct Call {
        QByteArray command;
        bool replyEmpty;  // the reply the call was handed
    };

    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override {
        const QByteArray& command = sent.command.text;
        calls.push_back({command, reply.isEmpty()});
        Answer answer;
        auto it = answers.find(command);
        if (it != answers.end() && !it->second.empty()) {
            answer = it->second.front();
            if (it->second.size() > 1) it->second.erase(it->second.begin());
        }
        if (answer.result == 0) reply = answer.reply;
        return answer.result;
    }

    std::vector<QByteArray> Commands() const {
        std::vector<QByteArray> out;
        for (const Call& c : calls) out.push_back(c.command);
        return out;
    }

    std::map<QByteArray, std::vector<Answer>> answers;
    std::vector<Call> calls;
};

// Keeps every command as the device receives it, read.
class ParsingMci : public MciService {
  public:
    std::uint32_t Send(const MciParseResult& sent, QByteArray&) override {
        parsed.push_back(sent);
        return sent.error;
    }

    std::vector<MciParseResult> parsed;
};

QString Padded(const QString& text) {
    QString padded = text;
    padded.resize(APIModule::kReplyLength, QChar(0));
    return padded;
}

TEST(APIModuleTest, SendsTheFixedCommandStrings) {
    ScriptedMci mci;
    APIModule music(mci);
    EXPECT_TRUE(music.MciReply().isEmpty());
    music.PlayMusic(QStringLiteral("C:\\M\\a b.mid"));
    music.MusicStatus();
    music.StopMusic();
    music.PlayMusic(QString());
    const std::vector<QByteArray> expected = {"open \"C:\\M\\a b.mid\" alias sng",
                                              "play sng",
                                              "status sng mode",
                                              "stop sng wait",
                                              "close sng",
                                              "open \"\" alias sng",
                                              "play sng"};
    EXPECT_EQ(mci.Commands(), expected);
    // Each call starts from a fresh reply.
    for (const auto& call : mci.calls) EXPECT_TRUE(call.replyEmpty);
}

TEST(APIModuleTest, AnyFileNameReachesTheDeviceAsOneNameAndNeverAsKeywords) {
    const char* const names[] = {
        "C:\\M\\a b.mid",
        "/m/a\"b.wav",
        "\"",
        "\"\"",
        "/m/x\" type mpegvideo",
        "/m/x\" alias x",
        "/m/real.wav\" type \"waveaudio",
        "/m/\" alias sng \"",
        "/m/x\"\"\" wait notify \"\"\".mp3",
        "end.wav\"",
        "\"start.mp3",
        "tab\tand\r\nbreak.wav",
        "/音楽/\"春\" の曲.mid",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ParsingMci mci;
        APIModule music(mci);
        music.PlayMusic(QString::fromUtf8(name));
        ASSERT_EQ(mci.parsed.size(), 2u);
        const MciParseResult& open = mci.parsed[0];
        ASSERT_EQ(open.error, 0u);
        EXPECT_EQ(open.command.verb, MciVerb::Open);
        EXPECT_EQ(open.command.device, QByteArray(name));
        EXPECT_EQ(open.command.alias, "sng");
        EXPECT_TRUE(open.command.type.isNull());
        EXPECT_FALSE(open.command.wait || open.command.notify || open.command.shareable);
        EXPECT_EQ(mci.parsed[1].command.verb, MciVerb::Play);
        EXPECT_EQ(mci.parsed[1].command.device, "sng");
    }
    // A NUL ends the command as it would a C string: the open fails instead of naming the part
    // before it.
    ParsingMci mci;
    APIModule music(mci);
    music.PlayMusic(QStringLiteral("/m/real.wav") + QChar(0) + QStringLiteral("x.wav"));
    ASSERT_EQ(mci.parsed.size(), 2u);
    EXPECT_EQ(mci.parsed[0].error, MCIERR_NO_CLOSING_QUOTE);
}

TEST(APIModuleTest, PlayMusicReturnsThePlayResultWhateverTheOpenGave) {
    const struct {
        std::uint32_t open, play;
        std::int32_t expected;
    } cases[] = {{0, 0, 0}, {275, 263, 263}, {289, 0, 0}, {0, 262, 262}};
    for (const auto& c : cases) {
        ScriptedMci mci;
        mci.answers["open \"/m/x.wav\" alias sng"] = {{c.open, "1"}};
        mci.answers["play sng"] = {{c.play, {}}};
        APIModule music(mci);
        EXPECT_EQ(music.PlayMusic(QStringLiteral("/m/x.wav")), c.expected);
        EXPECT_EQ(mci.calls.size(), 2u);
    }
}

TEST(APIModuleTest, RepliesAreTheTextThenNulsTo255Characters) {
    ScriptedMci mci;
    mci.answers["status sng mode"] = {{0, "playing"}, {0, "stopped"}};
    APIModule music(mci);

    const QString playing = music.MusicStatus();
    EXPECT_EQ(playing, Padded(QStringLiteral("playing")));
    EXPECT_EQ(playing.count(QChar(0)), 248);
    EXPECT_FALSE(playing.startsWith(QStringLiteral("stopped")));
    EXPECT_EQ(music.MciReply(), playing);

    const QString stopped = music.MusicStatus();
    EXPECT_EQ(stopped, Padded(QStringLiteral("stopped")));
    EXPECT_TRUE(stopped.startsWith(QStringLiteral("stopped")));
}

TEST(APIModuleTest, AFailedStatusNeverReturnsTheEarlierReply) {
    ScriptedMci mci;
    mci.answers["status sng mode"] = {{0, "stopped"}, {263, {}}};
    APIModule music(mci);
    ASSERT_TRUE(music.MusicStatus().startsWith(QStringLiteral("stopped")));
    const QString afterFailure = music.MusicStatus();
    EXPECT_EQ(afterFailure, QString(255, QChar(0)));
    EXPECT_FALSE(afterFailure.startsWith(QStringLiteral("stopped")));
}

TEST(APIModuleTest, CommandAndReplyCrossTheLocaleCodePage) {
    ScriptedMci mci;
    const QString path = QStringLiteral("/音楽/春の 曲.mid");
    const QByteArray open = "open \"" + path.toLocal8Bit() + "\" alias sng";
    mci.answers[open] = {{0, QStringLiteral("再生").toLocal8Bit()}};
    APIModule music(mci);
    QString reply = QStringLiteral("old");
    EXPECT_EQ(
        music.MciSend(QStringLiteral("open \"") + path + QStringLiteral("\" alias sng"), reply), 0);
    ASSERT_EQ(mci.calls.size(), 1u);
    EXPECT_EQ(mci.calls[0].command, open);
    EXPECT_EQ(reply, Padded(QStringLiteral("再生")));
}

TEST(APIModuleTest, AReplyFillingTheWholeBufferKeepsItsLength) {
    ScriptedMci mci;
    const QByteArray longest(254, 'x');
    mci.answers["status sng mode"] = {{0, longest}};
    APIModule music(mci);
    const QString reply = music.MusicStatus();
    EXPECT_EQ(reply.size(), 255);
    EXPECT_EQ(reply.left(254), QString::fromLatin1(longest));
    EXPECT_EQ(reply[254], QChar(0));
}

}  // namespace
}  // namespace tavello
