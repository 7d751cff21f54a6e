// Music that cannot be played gives a silent show, never a hang or a crash: broken files, files of
// the wrong kind, things that are not files at all. And any file name either plays or fails
// cleanly: nothing in a name is ever read as a command word.

#include "MusicFixtures.h"
#include "music/APIModule.h"
#include "music/MciCommand.h"
#include "music/SdlMci.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

namespace tavello {
namespace {

using namespace tavello::test;

const QString kNoModeWord(APIModule::kReplyLength, QChar(0));
const QString kPlaying = QStringLiteral("playing");

QByteArray Jpeg() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QByteArray SampleMp3() {
    QFile file(SampleMusicFolder() + QStringLiteral("/sample.mp3"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray NoiseBytes(int size) {
    QByteArray bytes(size, '\0');
    quint32 seed = 2024;
    for (char& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<char>(seed >> 24);
    }
    return bytes;
}

QByteArray CutMidi() {
    const QByteArray midi = MusicMidi();
    return midi.left(midi.size() - 5);  // the track claims more than the file holds
}

enum class Kind { Bytes, Folder, Fifo, LinkToFifo, LinkToZero };

struct BadFile {
    const char* name;
    Kind kind;
    QByteArray bytes;
    std::uint32_t open;  // what "open" answers; 0 when the file plays after all
};

void Make(const TestDir& dir, const BadFile& f) {
    const QByteArray path = QFile::encodeName(dir.file(QString::fromUtf8(f.name)));
    switch (f.kind) {
        case Kind::Bytes:
            dir.write(QString::fromUtf8(f.name), f.bytes);
            break;
        case Kind::Folder:
            ASSERT_TRUE(QDir().mkpath(dir.file(QString::fromUtf8(f.name))));
            break;
        case Kind::Fifo:
            ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
            break;
        case Kind::LinkToFifo: {
            const QByteArray fifo = path + ".fifo";
            ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
            ASSERT_EQ(::symlink(fifo.constData(), path.constData()), 0);
            break;
        }
        case Kind::LinkToZero:
            ASSERT_EQ(::symlink("/dev/zero", path.constData()), 0);
            break;
    }
}

TEST(HostileMusicTest, BrokenOrWrongMusicGivesASilentShowThatGoesOn) {
    const QByteArray wav = MusicWav(300);
    const QByteArray mp3 = SampleMp3();
    ASSERT_FALSE(mp3.isEmpty());
    const BadFile files[] = {
        {"empty.wav", Kind::Bytes, {}, MCIERR_INVALID_FILE},
        {"empty.mid", Kind::Bytes, {}, MCIERR_INVALID_FILE},
        {"empty.mp3", Kind::Bytes, {}, MCIERR_INVALID_FILE},
        {"header-cut.wav", Kind::Bytes, wav.left(20), MCIERR_INVALID_FILE},
        {"cut.mid", Kind::Bytes, CutMidi(), MCIERR_INVALID_FILE},
        {"header-only.mid", Kind::Bytes, MusicMidi().left(14), MCIERR_INVALID_FILE},
        {"cut.mp3", Kind::Bytes, mp3.left(60), MCIERR_INVALID_FILE},
        {"noise.mp3", Kind::Bytes, NoiseBytes(4096), MCIERR_INVALID_FILE},
        {"picture.mp3", Kind::Bytes, Jpeg(), MCIERR_INVALID_FILE},
        {"midi.wav", Kind::Bytes, MusicMidi(), MCIERR_INVALID_FILE},
        {"cut-midi.mp3", Kind::Bytes, CutMidi(), MCIERR_INVALID_FILE},
        {"wave.mid", Kind::Bytes, wav, MCIERR_INVALID_FILE},
        {"mp3.mid", Kind::Bytes, mp3, MCIERR_INVALID_FILE},
        {"folder.mp3", Kind::Folder, {}, MCIERR_INVALID_FILE},
        {"pipe.wav", Kind::Fifo, {}, MCIERR_INVALID_FILE},
        {"pipe.mid", Kind::Fifo, {}, MCIERR_INVALID_FILE},
        {"pipe.mp3", Kind::Fifo, {}, MCIERR_INVALID_FILE},
        {"link-to-pipe.mp3", Kind::LinkToFifo, {}, MCIERR_INVALID_FILE},
        {"zeros.mp3", Kind::LinkToZero, {}, MCIERR_INVALID_FILE},
        // The MPEG device plays what it recognises by content, sound MIDI included.
        {"midi.mp3", Kind::Bytes, MusicMidi(), 0},
        {"wave.mp3", Kind::Bytes, wav, 0},
    };
    TestDir dir;
    dir.write("good.wav", wav);
    SdlMci mci;
    APIModule music(mci);
    for (const BadFile& f : files) {
        SCOPED_TRACE(f.name);
        Make(dir, f);
        const QString path = dir.file(QString::fromUtf8(f.name));
        QString reply;
        EXPECT_EQ(
            music.MciSend(QStringLiteral("open \"") + path + QStringLiteral("\" alias sng"), reply),
            static_cast<std::int32_t>(f.open));
        music.MciSend(QStringLiteral("close sng"), reply);

        // As the show meets it: silence and no mode word, so it is never restarted.
        const std::int32_t played = music.PlayMusic(path);
        const QString status = music.MusicStatus();
        if (f.open == 0) {
            EXPECT_EQ(played, 0);
            EXPECT_TRUE(status.startsWith(kPlaying));
        } else {
            EXPECT_EQ(played, static_cast<std::int32_t>(MCIERR_INVALID_DEVICE_NAME));
            EXPECT_EQ(status, kNoModeWord);
        }
        music.StopMusic();
        EXPECT_EQ(music.MusicStatus(), kNoModeWord);
    }
    // The next song still plays.
    EXPECT_EQ(music.PlayMusic(dir.file(QStringLiteral("good.wav"))), 0);
    EXPECT_TRUE(music.MusicStatus().startsWith(kPlaying));
    music.StopMusic();
}

TEST(HostileMusicTest, AnyFileNamePlaysTheFileItNamesAndNoOther) {
    // Only the named file is there under each name, so a name read as more than one word fails to
    // play. 0 marks a name that cannot play (no known extension), which must not open real.wav
    // either, though the classic command written with it unchanged would read "type" and
    // "waveaudio" as words of its own and do just that.
    const struct {
        const char* name;
        int milliseconds;
    } songs[] = {
        {"a\"b.wav", 310},
        {"\".wav", 320},
        {"\"\".wav", 330},
        {"say \"hi\".wav", 340},
        {"song\" alias x \".wav", 350},
        {"song\" type mpegvideo \".wav", 360},
        {"x\"\" alias sng \"\".wav", 370},
        {"  blanks\tand\nbreaks  .wav", 380},
        {"alias sng.wav", 390},
        {"back\\slash 'single'.wav", 400},
        {"日本語 \"の\" 曲.wav", 410},
        {"real.wav\" type \"waveaudio", 0},
        {"real.wav\" type \"MPEGVideo", 0},
        {"real.wav\"", 0},
    };
    TestDir dir;
    dir.write("real.wav", MusicWav(300));
    SdlMci mci;
    APIModule music(mci);
    for (const auto& song : songs) {
        SCOPED_TRACE(song.name);
        const QString name = QString::fromUtf8(song.name);
        dir.write(name, MusicWav(song.milliseconds > 0 ? song.milliseconds : 500));
        const std::int32_t played = music.PlayMusic(dir.file(name));
        if (song.milliseconds > 0) {
            EXPECT_EQ(played, 0);
            EXPECT_TRUE(music.MusicStatus().startsWith(kPlaying));
        } else {
            EXPECT_NE(played, 0);
            EXPECT_EQ(music.MusicStatus(), kNoModeWord);
        }
        music.StopMusic();
    }
}

}  // namespace
}  // namespace tavello
