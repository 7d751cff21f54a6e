// Real playback through SDL's "disk" audio driver, which writes what the mixer plays to a file:
// the music is heard (not silent), the mode word follows it, and a restart starts it over.

#include "MusicFixtures.h"
#include "music/APIModule.h"
#include "music/SdlMci.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cstdlib>
#include <memory>

namespace tavello {
namespace {

using namespace tavello::test;

constexpr int kFrames100ms = 4410;
// The mixer's buffer (2048 frames) and the driver's file buffer, with room to spare.
constexpr qsizetype kBufferedBytes = 16384;
const QString kPlaying = QStringLiteral("playing");
const QString kStopped = QStringLiteral("stopped");

class PlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        savedDriver_ = driver ? QByteArray(driver) : QByteArray();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir.file(QStringLiteral("heard.raw")).toLocal8Bit(), 1);
        mci_ = std::make_unique<SdlMci>();
        music = std::make_unique<APIModule>(*mci_);
    }

    void TearDown() override {
        music.reset();
        mci_.reset();
        if (savedDriver_.isNull())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", savedDriver_.constData(), 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }

    // What the mixer has written so far (the driver writes in real time, slightly buffered).
    QByteArray HeardSoFar() const { return dir.read(QStringLiteral("heard.raw")); }

    // Everything the mixer played: closing the audio device flushes the file.
    QByteArray HeardAll() {
        music.reset();
        mci_.reset();
        return HeardSoFar();
    }

    bool WaitForStopped(int timeoutMs) {
        return WaitUntil([this] { return music->MusicStatus().startsWith(kStopped); }, timeoutMs);
    }

    TestDir dir;
    std::unique_ptr<APIModule> music;

  private:
    std::unique_ptr<SdlMci> mci_;
    QByteArray savedDriver_;
};

TEST_F(PlaybackTest, EachKindOfMusicIsHeardAndReportsItsEnd) {
    const QString mp3 = SampleMusicFolder() + QStringLiteral("/sample.mp3");
    ASSERT_TRUE(QFile::exists(mp3)) << "shipped sample missing: " << mp3.toStdString();
    dir.write(QStringLiteral("日本語 の 曲.wav"), MusicWav(800));
    dir.write(QStringLiteral("a b.mid"), MusicMidi());
    const QString files[] = {dir.file(QStringLiteral("日本語 の 曲.wav")),
                             dir.file(QStringLiteral("a b.mid")), mp3};
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        // What the driver may still hold of the previous song is skipped.
        const qsizetype songStart = HeardSoFar().size() + kBufferedBytes;
        ASSERT_EQ(music->PlayMusic(file), 0);
        const QString status = music->MusicStatus();
        EXPECT_EQ(status.size(), 255);
        EXPECT_TRUE(status.startsWith(kPlaying));
        EXPECT_EQ(status.count(QChar(0)), 255 - kPlaying.size());
        EXPECT_FALSE(status.startsWith(kStopped));
        EXPECT_TRUE(WaitForStopped(30000));
        music->StopMusic();
        EXPECT_EQ(music->MusicStatus(), QString(255, QChar(0)));
        EXPECT_TRUE(WaitUntil([&] { return PeakLevel(HeardSoFar().mid(songStart)) > 2000; }, 5000));
    }
    const QByteArray heard = HeardAll();
    // The WAV went through the mixer untouched: a stretch of it is found once, sample for sample.
    EXPECT_EQ(CountFrameAligned(heard, PcmStretch(MusicPcm(800), kFrames100ms, 1024)), 1);
}

TEST_F(PlaybackTest, StopThenPlayStartsTheMusicOverFromItsBeginning) {
    dir.write(QStringLiteral("song.wav"), MusicWav(2000));
    const QByteArray pcm = MusicPcm(2000);
    const QByteArray opening = PcmStretch(pcm, kFrames100ms, 1024);
    const QByteArray closing = PcmStretch(pcm, 19 * kFrames100ms, 1024);
    const QString file = dir.file(QStringLiteral("song.wav"));

    ASSERT_EQ(music->PlayMusic(file), 0);
    ASSERT_TRUE(WaitUntil([&] { return HeardSoFar().contains(opening); }, 10000));
    music->StopMusic();
    ASSERT_EQ(music->PlayMusic(file), 0);
    ASSERT_TRUE(WaitForStopped(10000));
    music->StopMusic();

    const QByteArray heard = HeardAll();
    EXPECT_EQ(CountFrameAligned(heard, opening), 2);
    EXPECT_EQ(CountFrameAligned(heard, closing), 1);
}

TEST_F(PlaybackTest, TheShowsRestartLoopPlaysTheSongAgainAndAgain) {
    dir.write(QStringLiteral("song.wav"), MusicWav(600));
    const QString file = dir.file(QStringLiteral("song.wav"));
    ASSERT_EQ(music->PlayMusic(file), 0);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(WaitForStopped(10000));
        music->StopMusic();
        ASSERT_EQ(music->PlayMusic(file), 0);
    }
    ASSERT_TRUE(WaitForStopped(10000));
    music->StopMusic();
    const QByteArray heard = HeardAll();
    const QByteArray pcm = MusicPcm(600);
    EXPECT_EQ(CountFrameAligned(heard, PcmStretch(pcm, kFrames100ms, 1024)), 3);
    EXPECT_EQ(CountFrameAligned(heard, PcmStretch(pcm, 5 * kFrames100ms, 1024)), 3);
}

TEST_F(PlaybackTest, AReopenedMidiSongStartsOverToo) {
    // The MIDI song is kept loaded across close and open; it must still restart at its first note.
    dir.write(QStringLiteral("one.mid"), OneNoteMidi());
    const QString file = dir.file(QStringLiteral("one.mid"));
    ASSERT_EQ(music->PlayMusic(file), 0);
    ASSERT_TRUE(WaitUntil([&] { return PeakLevel(HeardSoFar()) > 4000; }, 10000));
    music->StopMusic();
    ASSERT_EQ(music->PlayMusic(file), 0);
    EXPECT_TRUE(music->MusicStatus().startsWith(kPlaying));
    ASSERT_TRUE(WaitForStopped(30000));
    music->StopMusic();
    EXPECT_EQ(CountOnsets(HeardAll()), 2);
}

}  // namespace
}  // namespace tavello
