#include "music/MciCommand.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace tavello {
namespace {

struct Token {
    QByteArray text;
    bool quoted = false;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool Is(const Token& token, const char* keyword) {
    return !token.quoted && token.text.compare(keyword, Qt::CaseInsensitive) == 0;
}

// A quoted name runs from the double quote at `open` to the next single double quote; a doubled
// one inside stands for one quote character of the name ("a""b" is a"b), so any file name can
// be written as one name and nothing in it is ever read as a keyword. Returns the position after
// the closing quote, or -1 when there is none.
qsizetype ReadQuoted(const QByteArray& text, qsizetype open, QByteArray& name) {
    qsizetype at = open + 1;
    for (;;) {
        const qsizetype close = text.indexOf('"', at);
        if (close < 0) return -1;
        name += text.mid(at, close - at);
        if (close + 1 >= text.size() || text[close + 1] != '"') return close + 1;
        name += '"';
        at = close + 2;
    }
}

// Splits at blanks; a double quote starts a name that ends at the closing quote. The command ends
// at its first NUL, as a C string does.
std::uint32_t Tokenize(const QByteArray& command, std::vector<Token>& tokens) {
    const qsizetype nul = command.indexOf('\0');
    const QByteArray text = nul < 0 ? command : command.left(nul);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        Token token;
        if (text[i] == '"') {
            token.quoted = true;
            i = ReadQuoted(text, i, token.text);
            if (i < 0) return MCIERR_NO_CLOSING_QUOTE;
        } else {
            const qsizetype start = i;
            while (i < n && !IsBlank(text[i])) ++i;
            token.text = text.mid(start, i - start);
        }
        tokens.push_back(std::move(token));
    }
    return 0;
}

std::optional<MciVerb> VerbOf(const Token& token) {
    static const struct {
        const char* word;
        MciVerb verb;
    } kVerbs[] = {{"open", MciVerb::Open},
                  {"close", MciVerb::Close},
                  {"play", MciVerb::Play},
                  {"stop", MciVerb::Stop},
                  {"status", MciVerb::Status}};
    for (const auto& v : kVerbs)
        if (Is(token, v.word)) return v.verb;
    return std::nullopt;
}

MciStatusItem StatusItemOf(const Token& token) {
    return Is(token, "mode") ? MciStatusItem::Mode : MciStatusItem::None;
}

// Reads the keywords after the device name; every keyword may appear once.
class KeywordReader {
  public:
    KeywordReader(const std::vector<Token>& tokens, MciCommand& command)
        : tokens_(tokens), command_(command) {}

    std::uint32_t Run() {
        for (pos_ = 2; pos_ < tokens_.size(); ++pos_)
            if (const std::uint32_t error = One(tokens_[pos_])) return error;
        if (command_.verb == MciVerb::Status && command_.item == MciStatusItem::None)
            return MCIERR_MISSING_PARAMETER;
        return 0;
    }

  private:
    std::uint32_t One(const Token& token) {
        const MciVerb verb = command_.verb;
        if (Is(token, "wait")) return Flag(command_.wait);
        if (Is(token, "notify")) return Flag(command_.notify);
        if (verb == MciVerb::Open) {
            if (Is(token, "type")) return String(command_.type);
            if (Is(token, "alias")) return String(command_.alias);
            if (Is(token, "shareable")) return Flag(command_.shareable);
        }
        if (verb == MciVerb::Status) {
            const MciStatusItem item = StatusItemOf(token);
            if (item != MciStatusItem::None) {
                if (command_.item != MciStatusItem::None) return MCIERR_FLAGS_NOT_COMPATIBLE;
                command_.item = item;
                return 0;
            }
        }
        return MCIERR_UNRECOGNIZED_KEYWORD;
    }

    std::uint32_t Flag(bool& flag) {
        if (flag) return MCIERR_DUPLICATE_FLAGS;
        flag = true;
        return 0;
    }

    std::uint32_t String(QByteArray& value) {
        if (!value.isNull()) return MCIERR_DUPLICATE_FLAGS;
        if (pos_ + 1 >= tokens_.size() || tokens_[pos_ + 1].text.isEmpty())
            return MCIERR_MISSING_STRING_ARGUMENT;
        value = tokens_[++pos_].text;
        return 0;
    }

    const std::vector<Token>& tokens_;
    MciCommand& command_;
    std::size_t pos_ = 0;
};

QByteArray ExtensionOf(const QByteArray& path) {
    const qsizetype slash = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    const qsizetype dot = path.lastIndexOf('.');
    if (dot <= slash) return {};
    return path.mid(dot + 1).toLower();
}

}  // namespace

MciParseResult ParseMciCommand(const QByteArray& text) {
    MciParseResult result;
    result.command.text = text;
    std::vector<Token> tokens;
    if ((result.error = Tokenize(text, tokens))) return result;
    if (tokens.empty()) {
        result.error = MCIERR_MISSING_COMMAND_STRING;
        return result;
    }
    const std::optional<MciVerb> verb = VerbOf(tokens[0]);
    if (!verb) {
        result.error = MCIERR_UNRECOGNIZED_COMMAND;
        return result;
    }
    MciCommand& command = result.command;
    command.verb = *verb;
    if (tokens.size() < 2 || tokens[1].text.isEmpty()) {
        result.error = MCIERR_MISSING_DEVICE_NAME;
        return result;
    }
    command.device = tokens[1].text;
    command.all = Is(tokens[1], "all");
    if (command.all && command.verb != MciVerb::Close && command.verb != MciVerb::Stop) {
        result.error = MCIERR_CANNOT_USE_ALL;
        return result;
    }
    result.error = KeywordReader(tokens, command).Run();
    return result;
}

QString QuotedMciName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

MciDeviceType DeviceTypeForFile(const QByteArray& path) {
    const QByteArray ext = ExtensionOf(path);
    if (ext == "wav") return MciDeviceType::WaveAudio;
    if (ext == "mid" || ext == "midi" || ext == "rmi") return MciDeviceType::Sequencer;
    if (ext == "mp3") return MciDeviceType::MpegVideo;
    return MciDeviceType::None;
}

MciDeviceType DeviceTypeByName(const QByteArray& name) {
    const QByteArray lower = name.toLower();
    if (lower == "waveaudio") return MciDeviceType::WaveAudio;
    if (lower == "sequencer") return MciDeviceType::Sequencer;
    if (lower == "mpegvideo") return MciDeviceType::MpegVideo;
    return MciDeviceType::None;
}

}  // namespace tavello
