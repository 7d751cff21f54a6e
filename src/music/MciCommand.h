#pragma once

// Reading of MCI command strings ("open "C:\a b.mid" alias sng", "status sng mode", ...) into a
// plain record, with the classic MCI error codes. A command is read once, where it is written
// (APIModule), and handed down as read. No audio here: SdlMci carries the commands out.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace tavello {

// The classic MCI error codes (MCIERR_BASE + n), with their classic values, so that a caller
// that knows them reads the same numbers here.
inline constexpr std::uint32_t MCIERR_BASE = 256;
inline constexpr std::uint32_t MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
inline constexpr std::uint32_t MCIERR_UNRECOGNIZED_KEYWORD = MCIERR_BASE + 3;
inline constexpr std::uint32_t MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
inline constexpr std::uint32_t MCIERR_HARDWARE = MCIERR_BASE + 6;
inline constexpr std::uint32_t MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
inline constexpr std::uint32_t MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
inline constexpr std::uint32_t MCIERR_DEVICE_OPEN = MCIERR_BASE + 9;
inline constexpr std::uint32_t MCIERR_MISSING_COMMAND_STRING = MCIERR_BASE + 11;
inline constexpr std::uint32_t MCIERR_MISSING_STRING_ARGUMENT = MCIERR_BASE + 13;
inline constexpr std::uint32_t MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
inline constexpr std::uint32_t MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
inline constexpr std::uint32_t MCIERR_CANNOT_USE_ALL = MCIERR_BASE + 23;
inline constexpr std::uint32_t MCIERR_EXTENSION_NOT_FOUND = MCIERR_BASE + 25;
inline constexpr std::uint32_t MCIERR_FLAGS_NOT_COMPATIBLE = MCIERR_BASE + 28;
inline constexpr std::uint32_t MCIERR_DUPLICATE_ALIAS = MCIERR_BASE + 33;
inline constexpr std::uint32_t MCIERR_MISSING_DEVICE_NAME = MCIERR_BASE + 36;
inline constexpr std::uint32_t MCIERR_NO_CLOSING_QUOTE = MCIERR_BASE + 38;
inline constexpr std::uint32_t MCIERR_DUPLICATE_FLAGS = MCIERR_BASE + 39;
inline constexpr std::uint32_t MCIERR_INVALID_FILE = MCIERR_BASE + 40;

// Only what the show sends is read; any other verb is an unrecognized command.
enum class MciVerb { Open, Close, Play, Stop, Status };
enum class MciStatusItem { None, Mode };
enum class MciDeviceType { None, WaveAudio, Sequencer, MpegVideo };

struct MciCommand {
    // The command as it was written, for records; the fields below are what it says.
    QByteArray text;
    MciVerb verb = MciVerb::Open;
    // The alias (or "all"); for open, the element (file) name exactly as written, quotes removed.
    QByteArray device;
    bool all = false;
    // open only: the device type named after "type", and the alias; empty when not given.
    QByteArray type;
    QByteArray alias;
    bool shareable = false;
    // status only.
    MciStatusItem item = MciStatusItem::None;
    bool wait = false;
    bool notify = false;
};

struct MciParseResult {
    std::uint32_t error = 0;  // 0, or the MCIERR_* code that the command earns as written
    MciCommand command;
};

// Keywords are case-insensitive; names may be quoted ("a b.wav") or not (a.wav). Inside a quoted
// name a doubled quote stands for one ("say ""hi"".wav" is say "hi".wav).
MciParseResult ParseMciCommand(const QByteArray& text);

// `name` as one quoted name of a command string, whatever it holds: in double quotes, with each
// quote inside doubled. A name without quotes is simply enclosed.
QString QuotedMciName(const QString& name);

// The device a file plays on, from its extension (case-insensitive); None when unknown.
MciDeviceType DeviceTypeForFile(const QByteArray& path);
// The device named by "type <name>"; None when unknown.
MciDeviceType DeviceTypeByName(const QByteArray& name);

}  // namespace tavello
