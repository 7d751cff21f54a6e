// The command interpreter over SDL2_mixer, driven through SDL's "dummy" audio driver (set by the
// test main): what each command answers, without listening to the sound.

#include "MusicFixtures.h"
#include "music/APIModule.h"
#include "music/FileRWops.h"
#include "music/MciCommand.h"
#include "music/SdlMci.h"
#include "platform/RegularFile.h"
#include "support/TestDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <QDir>
#include <cstdlib>
#include <limits>

namespace tavello {
namespace {

using test::MusicMidi;
using test::MusicWav;
using test::TestDir;

// A MIDI file in the RIFF wrapper of .rmi files.
QByteArray RmiWrapped(const QByteArray& midi) {
    auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return b;
    };
    return "RIFF" + le32(static_cast<quint32>(12 + midi.size())) + "RMIDdata" +
           le32(static_cast<quint32>(midi.size())) + midi;
}

struct Answer {
    std::uint32_t result;
    QByteArray reply;
};

Answer Send(SdlMci& mci, const QByteArray& command) {
    QByteArray reply = "left over";
    const std::uint32_t result = mci.Send(ParseMciCommand(command), reply);
    return {result, reply};
}

class SdlMciTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("good.wav", MusicWav(300));
        dir.write("good.mid", MusicMidi());
        dir.write("good.rmi", RmiWrapped(MusicMidi()));
        dir.write("a b.wav", MusicWav(300));
        dir.write("日本語 フォルダ/春の曲.wav", MusicWav(300));
        dir.write("corrupt.wav", QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunkjunk", 28));
        dir.write("corrupt.mid", QByteArray("MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\xFF\xFF\xFF\xFF", 22));
        dir.write("corrupt.mp3", test::MusicPcm(200));
        dir.write("empty.wav", QByteArray());
        dir.write("notes.txt", QByteArray("not music"));
        dir.write("noext", MusicWav(100));
        QDir(dir.path()).mkdir("folder.wav");
    }

    QByteArray Path(const char* name) const { return dir.file(QString::fromUtf8(name)).toUtf8(); }

    TestDir dir;
    SdlMci mci;
};

TEST_F(SdlMciTest, OpenAnswersWithTheClassicCodes) {
    const struct {
        const char* file;
        const char* extra;
        std::uint32_t result;
    } cases[] = {
        {"good.wav", "", 0},
        {"good.mid", "", 0},
        {"good.rmi", "", 0},
        {"a b.wav", "", 0},
        {"日本語 フォルダ/春の曲.wav", "", 0},
        {"good.mid", " type waveaudio", MCIERR_INVALID_FILE},
        {"noext", " type WaveAudio", 0},
        {"missing.wav", "", MCIERR_FILE_NOT_FOUND},
        {"missing.mp3", "", MCIERR_FILE_NOT_FOUND},
        {"notes.txt", "", MCIERR_EXTENSION_NOT_FOUND},
        {"noext", "", MCIERR_INVALID_DEVICE_NAME},
        {"good.wav", " type cdaudio", MCIERR_INVALID_DEVICE_NAME},
        {"corrupt.wav", "", MCIERR_INVALID_FILE},
        {"corrupt.mid", "", MCIERR_INVALID_FILE},
        {"corrupt.mp3", "", MCIERR_INVALID_FILE},
        {"empty.wav", "", MCIERR_INVALID_FILE},
        {"folder.wav", "", MCIERR_INVALID_FILE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + QByteArray(c.extra).toStdString());
        const Answer open =
            Send(mci, "open \"" + Path(c.file) + "\"" + QByteArray(c.extra) + " alias sng");
        EXPECT_EQ(open.result, c.result);
        const Answer status = Send(mci, "status sng mode");
        if (c.result == 0) {
            EXPECT_FALSE(open.reply.isEmpty());  // the new device's id
            EXPECT_EQ(status.result, 0u);
            EXPECT_EQ(status.reply, "stopped");
        } else {
            EXPECT_EQ(open.reply, "");
            EXPECT_EQ(status.result, MCIERR_INVALID_DEVICE_NAME);
            EXPECT_EQ(status.reply, "");
        }
        EXPECT_EQ(Send(mci, "close sng").result, c.result == 0 ? 0u : MCIERR_INVALID_DEVICE_NAME);
    }
}

TEST_F(SdlMciTest, AliasesAreUniqueAndCaseBlind) {
    const QByteArray wav = Path("good.wav");
    const Answer first = Send(mci, "open \"" + wav + "\" alias Sng");
    ASSERT_EQ(first.result, 0u);
    const Answer second = Send(mci, "open \"" + Path("a b.wav") + "\" alias music");
    ASSERT_EQ(second.result, 0u);
    EXPECT_NE(first.reply, second.reply);
    EXPECT_EQ(Send(mci, "open \"" + Path("a b.wav") + "\" alias SNG").result,
              MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(Send(mci, "status SNG mode").reply, "stopped");

    // Without an alias the file name is the device's name.
    EXPECT_EQ(Send(mci, "open " + wav).result, 0u);
    EXPECT_EQ(Send(mci, "open " + wav).result, MCIERR_DEVICE_OPEN);
    EXPECT_EQ(Send(mci, "status " + wav + " mode").reply, "stopped");

    EXPECT_EQ(Send(mci, "play nosuch").result, MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send(mci, "close all").result, 0u);
    EXPECT_EQ(Send(mci, "status music mode").result, MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send(mci, "close all").result, 0u);
}

TEST_F(SdlMciTest, PlayStopAndTheModeWord) {
    ASSERT_EQ(Send(mci, "open \"" + Path("good.wav") + "\" alias sng").result, 0u);
    ASSERT_EQ(Send(mci, "play sng").result, 0u);
    EXPECT_EQ(Send(mci, "status sng mode").reply, "playing");
    EXPECT_EQ(Send(mci, "stop sng wait").result, 0u);
    EXPECT_EQ(Send(mci, "status sng mode").reply, "stopped");
    // "play wait" returns once the music has played to its end.
    EXPECT_EQ(Send(mci, "play sng wait").result, 0u);
    EXPECT_EQ(Send(mci, "status sng mode").reply, "stopped");
    EXPECT_EQ(Send(mci, "stop sng").result, 0u);
    EXPECT_EQ(Send(mci, "close sng").result, 0u);
    EXPECT_EQ(Send(mci, "stop sng").result, MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(SdlMciTest, AnythingTheShowNeverSendsIsAnErrorAndChangesNothing) {
    ASSERT_EQ(Send(mci, "open \"" + Path("good.wav") + "\" alias sng").result, 0u);
    ASSERT_EQ(Send(mci, "play sng").result, 0u);
    const struct {
        const char* command;
        std::uint32_t result;
    } rows[] = {
        {"pause sng", MCIERR_UNRECOGNIZED_COMMAND},
        {"resume sng", MCIERR_UNRECOGNIZED_COMMAND},
        {"play sng from 0", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng length", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng position", MCIERR_UNRECOGNIZED_KEYWORD},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        const Answer answer = Send(mci, row.command);
        EXPECT_EQ(answer.result, row.result);
        EXPECT_EQ(answer.reply, "");
        EXPECT_EQ(Send(mci, "status sng mode").reply, "playing");
    }
    EXPECT_EQ(Send(mci, "close sng").result, 0u);
}

TEST_F(SdlMciTest, TheEmptyPathGivesSilenceAndNoModeWord) {
    APIModule music(mci);
    EXPECT_NE(music.PlayMusic(QString()), 0);
    EXPECT_EQ(music.MusicStatus(), QString(255, QChar(0)));
    music.StopMusic();
    EXPECT_EQ(music.MusicStatus(), QString(255, QChar(0)));
    // The next show still plays.
    EXPECT_EQ(music.PlayMusic(dir.file(QStringLiteral("a b.wav"))), 0);
    EXPECT_TRUE(music.MusicStatus().startsWith(QStringLiteral("playing")) ||
                music.MusicStatus().startsWith(QStringLiteral("stopped")));
    music.StopMusic();
}

TEST(FileRWopsTest, ReadsWholeObjectsAndSeeksLikeAFile) {
    TestDir dir;
    dir.write("ten", "0123456789");
    EXPECT_EQ(RWopsFromFile(nullptr), nullptr);
    SDL_RWops* ops = RWopsFromFile(OpenRegularFile(dir.file("ten")));
    ASSERT_NE(ops, nullptr);
    EXPECT_EQ(SDL_RWsize(ops), 10);
    char buffer[8] = {};
    EXPECT_EQ(SDL_RWread(ops, buffer, 3, 2), 2u);  // counts objects, not bytes
    EXPECT_EQ(QByteArray(buffer, 6), "012345");
    EXPECT_EQ(SDL_RWread(ops, buffer, 3, 2), 1u);  // four bytes left: one whole object
    EXPECT_EQ(SDL_RWread(ops, buffer, 1, 1), 0u);
    EXPECT_EQ(SDL_RWwrite(ops, "x", 1, 1), 0u);
    const struct {
        Sint64 offset;
        int whence;
        Sint64 expected;  // the new position; -1 refused, the position kept
        char next;        // the byte read there
    } seeks[] = {
        {-4, RW_SEEK_END, 6, '6'},
        {1, RW_SEEK_CUR, 8, '8'},
        {2, RW_SEEK_SET, 2, '2'},
        {-1, RW_SEEK_SET, -1, '3'},
        {-20, RW_SEEK_CUR, -1, '4'},
        {std::numeric_limits<Sint64>::max(), RW_SEEK_CUR, -1, '5'},
        {0, 7, -1, '6'},
    };
    for (const auto& s : seeks) {
        SCOPED_TRACE(s.offset);
        EXPECT_EQ(SDL_RWseek(ops, s.offset, s.whence), s.expected);
        char next = 0;
        EXPECT_EQ(SDL_RWread(ops, &next, 1, 1), 1u);
        EXPECT_EQ(next, s.next);
    }
    EXPECT_EQ(SDL_RWclose(ops), 0);
}

TEST(SdlMciWithoutSoundTest, NoAudioDeviceMeansOpenFailsQuietly) {
    TestDir dir;
    dir.write("song.wav", MusicWav(200));
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const QByteArray saved = previous ? QByteArray(previous) : QByteArray();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        SdlMci mci;
        APIModule music(mci);
        EXPECT_EQ(music.PlayMusic(dir.file(QStringLiteral("song.wav"))),
                  static_cast<std::int32_t>(MCIERR_INVALID_DEVICE_NAME));
        QString reply;
        EXPECT_EQ(music.MciSend(QStringLiteral("open \"") + dir.file(QStringLiteral("song.wav")) +
                                    QStringLiteral("\" alias sng"),
                                reply),
                  static_cast<std::int32_t>(MCIERR_HARDWARE));
        EXPECT_EQ(music.MusicStatus(), QString(255, QChar(0)));
        music.StopMusic();
    }
    if (previous)
        setenv("SDL_AUDIODRIVER", saved.constData(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
}  // namespace tavello
