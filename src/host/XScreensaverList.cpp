#include "host/XScreensaverList.h"

#include <QByteArrayList>
#include <QFile>

#include <algorithm>
#include <cctype>
#include <vector>

namespace tavello {
namespace {

// The file is read the way xscreensaver reads it: a stored line ending in backslash-newline goes
// on in the next one, "\n" inside a value separates the programs, and "#", "!" or ";" starts a
// comment. Offsets into the stored text are kept, so an insertion can leave every byte in place.

// One stored line: [begin, end), its line feed included when it has one.
struct RawLine {
    qsizetype begin;
    qsizetype end;
};

// The stored lines that xscreensaver joins into one setting.
using LogicalLine = std::vector<RawLine>;

struct Setting {
    QByteArray key;
    QByteArray value;  // after the colon, escapes decoded, blanks kept
};

struct Entry {
    bool enabled = true;
    QByteArray name;  // the quoted name shown in the settings, when given
    QByteArray command;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<LogicalLine> LogicalLines(const QByteArray& text) {
    std::vector<LogicalLine> lines;
    LogicalLine current;
    qsizetype joined = 0;  // length of the joined text so far, as xscreensaver counts it
    for (qsizetype pos = 0; pos < text.size();) {
        const qsizetype feed = text.indexOf('\n', pos);
        const RawLine line{pos, feed < 0 ? text.size() : feed + 1};
        pos = line.end;
        current.push_back(line);
        const qsizetype length = joined + (line.end - line.begin);
        if (length > 2 && text[line.end - 1] == '\n' && text[line.end - 2] == '\\') {
            joined = length - 2;
            continue;
        }
        lines.push_back(std::move(current));
        current.clear();
        joined = 0;
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

// The stored lines of a setting joined, each continuation's backslash-newline swallowed.
QByteArray Joined(const QByteArray& text, const LogicalLine& lines) {
    QByteArray joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        qsizetype length = lines[i].end - lines[i].begin;
        if (i + 1 < lines.size()) length -= 2;
        joined += QByteArrayView(text.constData() + lines[i].begin, length);
    }
    return joined;
}

QByteArray Unescaped(const QByteArray& joined) {
    QByteArray out;
    for (qsizetype i = 0; i < joined.size(); ++i) {
        if (joined[i] != '\\') {
            out += joined[i];
            continue;
        }
        if (++i == joined.size()) break;  // a lone backslash at the end vanishes
        const char c = joined[i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

std::optional<Setting> ReadSetting(const QByteArray& decoded) {
    qsizetype start = 0;
    while (start < decoded.size() && IsBlank(decoded[start])) ++start;
    if (start == decoded.size()) return std::nullopt;
    const char first = decoded[start];
    if (first == '#' || first == '!' || first == ';') return std::nullopt;
    const qsizetype colon = decoded.indexOf(':', start);
    if (colon < 0) return std::nullopt;
    return Setting{decoded.mid(start, colon - start), decoded.mid(colon + 1)};
}

// ~/.xscreensaver names the setting plainly, in any case.
bool IsUserProgramsKey(const QByteArray& key) {
    return key.compare("programs", Qt::CaseInsensitive) == 0;
}

// The app-defaults file names it as a resource: "*programs", "XScreenSaver.programs", ...
bool IsResourceProgramsKey(const QByteArray& key) {
    const qsizetype cut = std::max(key.lastIndexOf('*'), key.lastIndexOf('.'));
    return key.mid(cut + 1) == "programs";
}

struct FoundSetting {
    LogicalLine lines;
    QByteArray value;
};

// The last "programs" setting: a later one overrides an earlier one.
std::optional<FoundSetting> LastPrograms(const QByteArray& text,
                                         bool (*isProgramsKey)(const QByteArray&)) {
    std::optional<FoundSetting> found;
    for (LogicalLine& lines : LogicalLines(text)) {
        const auto setting = ReadSetting(Unescaped(Joined(text, lines)));
        if (setting && isProgramsKey(setting->key)) found = FoundSetting{lines, setting->value};
    }
    return found;
}

// One program of the list: [-] [visual:] ["name"] command.
Entry ParseEntry(const QByteArray& line) {
    Entry entry;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    };
    skipBlanks();
    if (i < line.size() && line[i] == '-') {
        entry.enabled = false;
        ++i;
        skipBlanks();
    }
    qsizetype visualEnd = i;
    while (visualEnd < line.size() && line[visualEnd] != ':' && line[visualEnd] != '"' &&
           !std::isspace(static_cast<unsigned char>(line[visualEnd])))
        ++visualEnd;
    if (visualEnd < line.size() && line[visualEnd] == ':') {
        i = visualEnd + 1;
        skipBlanks();
    }
    if (i < line.size() && line[i] == '"') {
        const qsizetype close = line.indexOf('"', i + 1);
        const qsizetype nameEnd = close < 0 ? line.size() : close;
        entry.name = line.mid(i + 1, nameEnd - i - 1);
        i = close < 0 ? line.size() : close + 1;
        skipBlanks();
    }
    entry.command = line.mid(i).trimmed();
    return entry;
}

// The file name of the program a command starts, quoted or not.
QByteArray ProgramName(const QByteArray& command) {
    QByteArray program;
    if (!command.isEmpty() && (command[0] == '\'' || command[0] == '"')) {
        const qsizetype close = command.indexOf(command[0], 1);
        program = command.mid(1, close < 0 ? -1 : close - 1);
    } else {
        qsizetype end = 0;
        while (end < command.size() && !std::isspace(static_cast<unsigned char>(command[end])))
            ++end;
        program = command.left(end);
    }
    return program.mid(program.lastIndexOf('/') + 1);
}

std::optional<Entry> FindTavello(const QByteArray& programs) {
    for (const QByteArray& line : programs.split('\n')) {
        const Entry entry = ParseEntry(line);
        if (ProgramName(entry.command) == "tavello" ||
            entry.name.compare("TAVELLO", Qt::CaseInsensitive) == 0)
            return entry;
    }
    return std::nullopt;
}

// Pads the last line of out with tabs, then blanks, to the column (tab stops every 8), as
// xscreensaver's own settings program lays the list out.
void PadTo(QByteArray& out, int column) {
    int col = 0;
    for (qsizetype i = out.lastIndexOf('\n') + 1; i < out.size(); ++i)
        col = out[i] == '\t' ? (col / 8 + 1) * 8 : col + 1;
    while (col < column / 8 * 8) {
        out += '\t';
        col = (col / 8 + 1) * 8;
    }
    while (col < column) {
        out += ' ';
        ++col;
    }
}

// xscreensaver decodes backslash escapes in a value before the shell sees the command, so every
// backslash of the command (the shell's own quoting included) is doubled.
QByteArray EscapedForResource(const QByteArray& command) {
    QByteArray escaped = command;
    return escaped.replace("\\", "\\\\");
}

// TAVELLO's entry without its line end: the name in quotes, so the settings list shows it in
// capitals, then the command.
QByteArray EntryBody(const QByteArray& command) {
    QByteArray body;
    PadTo(body, 21);
    body += "\"TAVELLO\" ";
    PadTo(body, 32);
    body += EscapedForResource(command);
    return body;
}

// An entry on a stored line of its own, ending the entry and going on in the next line.
QByteArray ContinuedLine(const QByteArray& body) {
    QByteArray line = body;
    PadTo(line, 75);
    return line + " \\n\\\n";
}

// Reads a setting one stored line at a time, decoding as Unescaped and ReadSetting do on the
// joined text, and tells after each line whether the list so far has just finished an entry (or
// has none yet). One pass over the setting, however its lines are laid out.
class ListPrefix {
  public:
    // A continued stored line, without its backslash-newline.
    void Feed(QByteArrayView piece) {
        for (const char c : piece) {
            if (escape_) {
                escape_ = false;
                Put(c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c);
            } else if (c == '\\') {
                escape_ = true;  // a lone one at the end of the text so far vanishes
            } else {
                Put(c);
            }
        }
    }
    bool EndsAnEntry() const {
        return started_ && !comment_ && inValue_ && (!anyText_ || lastKept_ == '\n');
    }

  private:
    void Put(char c) {
        if (!started_) {
            if (IsBlank(c)) return;
            started_ = true;
            comment_ = c == '#' || c == '!' || c == ';';
        }
        if (!inValue_) {
            inValue_ = c == ':';
            return;
        }
        anyText_ = anyText_ || !(IsBlank(c) || c == '\v' || c == '\f');
        if (c != ' ' && c != '\t') lastKept_ = c;  // trailing blanks do not count
    }

    bool escape_ = false;
    bool started_ = false;
    bool comment_ = false;
    bool inValue_ = false;
    bool anyText_ = false;
    char lastKept_ = 0;
};

// The text with TAVELLO's entry inserted into the list held by the stored lines.
QByteArray WithEntry(const QByteArray& text, const LogicalLine& lines, const QByteArray& body) {
    QByteArray out = text;
    // After the last stored line that completes an entry, so no other entry is split.
    ListPrefix prefix;
    std::optional<std::size_t> after;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        prefix.Feed(
            QByteArrayView(text.constData() + lines[i].begin, lines[i].end - lines[i].begin - 2));
        if (prefix.EndsAnEntry()) after = i;
    }
    if (after) return out.insert(lines[*after].end, ContinuedLine(body));
    // The whole list on one stored line (or no clean break): close its last entry, then ours.
    qsizetype at = lines.back().end;
    if (at > lines.back().begin && text[at - 1] == '\n') --at;
    return out.insert(at, " \\n\\\n" + body);
}

// A "programs:" setting with the system's list, or an empty list when there is none.
QByteArray ProgramsBlock(const std::optional<QByteArray>& systemDefaults) {
    if (systemDefaults) {
        if (const auto found = LastPrograms(*systemDefaults, IsResourceProgramsKey)) {
            const qsizetype colon = systemDefaults->indexOf(':', found->lines.front().begin);
            QByteArray block =
                "programs:" + systemDefaults->mid(colon + 1, found->lines.back().end - colon - 1);
            if (!block.endsWith('\n')) block += '\n';
            return block;
        }
    }
    QByteArray block = "programs:";
    PadTo(block, 77);
    return block + " \\\n\n";
}

QByteArray ProgramsBlockWithEntry(const std::optional<QByteArray>& systemDefaults,
                                  const QByteArray& body) {
    const QByteArray block = ProgramsBlock(systemDefaults);
    return WithEntry(block, LogicalLines(block).front(), body);
}

const char kCreatedHeader[] =
    "# XScreenSaver Preferences File\n"
    "# Made by \"tavello --add-to-xscreensaver\" from the system's list of programs.\n"
    "# Every setting not named here keeps its system default; xscreensaver-settings\n"
    "# writes the file in full when a setting is changed there.\n"
    "\n";

}  // namespace

XScreensaverListResult AddTavelloToXScreensaverList(const std::optional<QByteArray>& userFile,
                                                    const std::optional<QByteArray>& systemDefaults,
                                                    const QByteArray& command) {
    const QByteArray body = EntryBody(command);
    if (!userFile) {
        return {XScreensaverListChange::Created,
                kCreatedHeader + ProgramsBlockWithEntry(systemDefaults, body)};
    }
    const QByteArray& text = *userFile;
    const auto programs = LastPrograms(text, IsUserProgramsKey);
    if (!programs) {
        // No list of its own: the system's list applied, so it becomes the user's, with TAVELLO.
        QByteArray separator;
        if (!text.isEmpty() && !text.endsWith('\n')) separator += '\n';
        if (!text.isEmpty()) separator += '\n';
        return {XScreensaverListChange::Added,
                text + separator + ProgramsBlockWithEntry(systemDefaults, body)};
    }
    if (const auto listed = FindTavello(programs->value)) {
        return {listed->enabled ? XScreensaverListChange::AlreadyListed
                                : XScreensaverListChange::AlreadyListedDisabled,
                text};
    }
    return {XScreensaverListChange::Added, WithEntry(text, programs->lines, body)};
}

std::optional<QString> XScreensaverImageDirectory(const QByteArray& userFile, const QString& home) {
    std::optional<QByteArray> value;
    for (const LogicalLine& lines : LogicalLines(userFile)) {
        const auto setting = ReadSetting(Unescaped(Joined(userFile, lines)));
        if (setting && setting->key.trimmed().compare("imageDirectory", Qt::CaseInsensitive) == 0)
            value = setting->value.trimmed();
    }
    if (!value || value->isEmpty() || value->contains("://")) return std::nullopt;
    QString folder = QFile::decodeName(*value);
    if (folder == u'~' || folder.startsWith(QStringLiteral("~/"))) folder.replace(0, 1, home);
    return folder;
}

}  // namespace tavello
