#include "music/MciCommand.h"

#include <gtest/gtest.h>

namespace tavello {
namespace {

struct ParseCase {
    const char* text;
    std::uint32_t error;
    MciVerb verb = MciVerb::Open;
    const char* device = "";
    const char* alias = "";
    const char* type = "";
    MciStatusItem item = MciStatusItem::None;
    bool wait = false;
    bool all = false;
};

TEST(MciCommandTest, ReadsCommandsAsTheyAreWritten) {
    const ParseCase cases[] = {
        {"open \"C:\\M\\a b.mid\" alias sng", 0, MciVerb::Open, "C:\\M\\a b.mid", "sng"},
        {"OPEN c:\\x.WAV TYPE WaveAudio ALIAS Music", 0, MciVerb::Open, "c:\\x.WAV", "Music",
         "WaveAudio"},
        {"open \"/tmp/日本語 の曲.mp3\" alias sng", 0, MciVerb::Open, "/tmp/日本語 の曲.mp3",
         "sng"},
        {"  open\t/tmp/a.wav   alias  sng  ", 0, MciVerb::Open, "/tmp/a.wav", "sng"},
        {"open /tmp/a.wav shareable notify", 0, MciVerb::Open, "/tmp/a.wav"},
        {"play sng", 0, MciVerb::Play, "sng"},
        {"Play SNG wait", 0, MciVerb::Play, "SNG", "", "", MciStatusItem::None, true},
        {"stop sng wait", 0, MciVerb::Stop, "sng", "", "", MciStatusItem::None, true},
        {"stop all", 0, MciVerb::Stop, "all", "", "", MciStatusItem::None, false, true},
        {"close sng", 0, MciVerb::Close, "sng"},
        {"close ALL", 0, MciVerb::Close, "ALL", "", "", MciStatusItem::None, false, true},
        {"close \"all\"", 0, MciVerb::Close, "all"},  // a quoted name is a name
        {"status sng mode", 0, MciVerb::Status, "sng", "", "", MciStatusItem::Mode},
        {"status sng MODE wait", 0, MciVerb::Status, "sng", "", "", MciStatusItem::Mode, true},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const MciParseResult r = ParseMciCommand(QByteArray(c.text));
        ASSERT_EQ(r.error, c.error);
        EXPECT_EQ(r.command.text, QByteArray(c.text));
        EXPECT_EQ(r.command.verb, c.verb);
        EXPECT_EQ(r.command.device, QByteArray(c.device));
        EXPECT_EQ(r.command.alias, QByteArray(c.alias));
        EXPECT_EQ(r.command.type, QByteArray(c.type));
        EXPECT_EQ(r.command.item, c.item);
        EXPECT_EQ(r.command.wait, c.wait);
        EXPECT_EQ(r.command.all, c.all);
    }
}

TEST(MciCommandTest, ReadsTheFlags) {
    EXPECT_TRUE(ParseMciCommand("open x.wav shareable").command.shareable);
    EXPECT_TRUE(ParseMciCommand("close sng notify").command.notify);
}

TEST(MciCommandTest, RefusesMalformedCommandsWithTheClassicCodes) {
    const struct {
        const char* text;
        std::uint32_t error;
    } cases[] = {
        {"", MCIERR_MISSING_COMMAND_STRING},
        {"   \t", MCIERR_MISSING_COMMAND_STRING},
        {"jump sng", MCIERR_UNRECOGNIZED_COMMAND},
        // Verbs and items the show never sends are not read.
        {"pause sng", MCIERR_UNRECOGNIZED_COMMAND},
        {"resume sng", MCIERR_UNRECOGNIZED_COMMAND},
        {"seek sng to start", MCIERR_UNRECOGNIZED_COMMAND},
        {"play sng from 0", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng length", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng position", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng ready", MCIERR_UNRECOGNIZED_KEYWORD},
        {"\"open\" a.wav", MCIERR_UNRECOGNIZED_COMMAND},
        {"open \"C:\\a b.mid alias sng", MCIERR_NO_CLOSING_QUOTE},
        {"play", MCIERR_MISSING_DEVICE_NAME},
        {"open \"\" alias sng", MCIERR_MISSING_DEVICE_NAME},
        {"open a.wav alias", MCIERR_MISSING_STRING_ARGUMENT},
        {"open a.wav type", MCIERR_MISSING_STRING_ARGUMENT},
        {"open a.wav alias \"\"", MCIERR_MISSING_STRING_ARGUMENT},
        {"open a.wav alias x alias y", MCIERR_DUPLICATE_FLAGS},
        {"stop sng wait wait", MCIERR_DUPLICATE_FLAGS},
        {"open C:\\a b.mid alias sng", MCIERR_UNRECOGNIZED_KEYWORD},
        {"play sng loudly", MCIERR_UNRECOGNIZED_KEYWORD},
        {"close sng type waveaudio", MCIERR_UNRECOGNIZED_KEYWORD},
        {"stop sng from 0", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng \"mode\"", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng volume", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status sng", MCIERR_MISSING_PARAMETER},
        {"status sng wait", MCIERR_MISSING_PARAMETER},
        {"status sng mode mode", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"open all", MCIERR_CANNOT_USE_ALL},
        {"play all", MCIERR_CANNOT_USE_ALL},
        {"status all mode", MCIERR_CANNOT_USE_ALL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseMciCommand(QByteArray(c.text)).error, c.error);
    }
}

TEST(MciCommandTest, ADoubledQuoteInAQuotedNameIsPartOfTheName) {
    const struct {
        QByteArray text;
        std::uint32_t error;
        const char* device = "";
        const char* alias = "";
        const char* type = "";
    } cases[] = {
        {R"(open "a""b.wav" alias sng)", 0, "a\"b.wav", "sng"},
        {R"(open """" alias sng)", 0, "\"", "sng"},
        {R"(open """""" alias sng)", 0, "\"\"", "sng"},
        {R"(open "x"" type mpegvideo ""y.mp3" alias sng)", 0, "x\" type mpegvideo \"y.mp3", "sng"},
        {R"(open "x""" alias sng)", 0, "x\"", "sng"},
        {R"(open """x" alias sng)", 0, "\"x", "sng"},
        {R"(open a.wav alias "s""ng" type "wave""audio")", 0, "a.wav", "s\"ng", "wave\"audio"},
        {R"(open "a"" alias sng)", MCIERR_NO_CLOSING_QUOTE},
        {R"(open """ alias sng)", MCIERR_NO_CLOSING_QUOTE},
        // The command ends at a NUL, as a C string does: what follows is never read.
        {QByteArray("open \"a.wav\0\" alias x\" alias sng", 32), MCIERR_NO_CLOSING_QUOTE},
        {QByteArray("open a.wav\0 type sequencer", 26), 0, "a.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const MciParseResult r = ParseMciCommand(c.text);
        ASSERT_EQ(r.error, c.error);
        if (c.error) continue;
        EXPECT_EQ(r.command.device, QByteArray(c.device));
        EXPECT_EQ(r.command.alias, QByteArray(c.alias));
        EXPECT_EQ(r.command.type, QByteArray(c.type));
    }
}

TEST(MciCommandTest, ChoosesTheDeviceByExtensionOrName) {
    const struct {
        const char* name;
        MciDeviceType byFile;
        MciDeviceType byName;
    } cases[] = {
        {"a.wav", MciDeviceType::WaveAudio, MciDeviceType::None},
        {"C:\\M\\A.WAV", MciDeviceType::WaveAudio, MciDeviceType::None},
        {"x.mid", MciDeviceType::Sequencer, MciDeviceType::None},
        {"x.MIDI", MciDeviceType::Sequencer, MciDeviceType::None},
        {"/m/x.rmi", MciDeviceType::Sequencer, MciDeviceType::None},
        {"song.Mp3", MciDeviceType::MpegVideo, MciDeviceType::None},
        {"song.ogg", MciDeviceType::None, MciDeviceType::None},
        {"wav", MciDeviceType::None, MciDeviceType::None},
        {"/m/dir.wav/noext", MciDeviceType::None, MciDeviceType::None},
        {"C:\\dir.mid\\noext", MciDeviceType::None, MciDeviceType::None},
        {"waveaudio", MciDeviceType::None, MciDeviceType::WaveAudio},
        {"Sequencer", MciDeviceType::None, MciDeviceType::Sequencer},
        {"MPEGVideo", MciDeviceType::None, MciDeviceType::MpegVideo},
        {"cdaudio", MciDeviceType::None, MciDeviceType::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DeviceTypeForFile(c.name), c.byFile);
        EXPECT_EQ(DeviceTypeByName(c.name), c.byName);
    }
}

}  // namespace
}  // namespace tavello
