#include "password/UserReg.h"

#include "password/RegFile.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "platform/TextCodec.h"

#include <sys/stat.h>

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <optional>

namespace tavello {
namespace {

const QString kDesktopKey = QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\desktop");
const QString kValueName = QStringLiteral("ScreenSaveUsePassword");
constexpr qint64 kMaxBytes = 4 * 1024 * 1024;  // far beyond any real file; bounds memory

QString DecodeUserReg(const QByteArray& bytes) {
    if (bytes.startsWith("\xff\xfe"))
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                  (bytes.size() - 2) / 2);
    return DecodeText(bytes);
}

RegValue SwitchValue(bool on) {
    return RegValue{REG_DWORD, QByteArray(on ? "\x01\0\0\0" : "\0\0\0\0", 4)};
}

bool IsSwitch(const RegLine& entry) {
    return entry.kind == RegLine::Kind::Value &&
           entry.key.compare(kDesktopKey, Qt::CaseInsensitive) == 0 &&
           entry.name.compare(kValueName, Qt::CaseInsensitive) == 0;
}

// Leaves one switch entry, where the last one stood (the one the reader takes), and drops every
// other, together with all the lines each spans. Without one, the line goes at the top of the
// desktop section, or into a new section at the end.
QStringList WithPasswordSwitch(QStringList lines, bool on) {
    const QString valueLine =
        u'"' + kValueName + QStringLiteral("\"=") + FormatRegValue(SwitchValue(on));
    const std::vector<RegLine> entries = ScanRegLines(lines);
    std::vector<const RegLine*> switches;
    const RegLine* section = nullptr;
    for (const RegLine& entry : entries) {
        if (IsSwitch(entry)) switches.push_back(&entry);
        if (entry.kind == RegLine::Kind::Section &&
            entry.key.compare(kDesktopKey, Qt::CaseInsensitive) == 0)
            section = &entry;
    }
    for (auto it = switches.rbegin(); it != switches.rend(); ++it) {
        lines.remove((*it)->first, (*it)->last - (*it)->first + 1);
        if (it == switches.rbegin()) lines.insert((*it)->first, valueLine);
    }
    if (!switches.empty()) return lines;
    if (section != nullptr) {
        lines.insert(section->last + 1, valueLine);
        return lines;
    }
    if (lines.join(QString()).trimmed().isEmpty())
        lines = {QStringLiteral("Windows Registry Editor Version 5.00")};
    lines << QString() << u'[' + kDesktopKey + u']' << valueLine;
    return lines;
}

// True when text holds exactly the expected keys and values and one switch entry, so nothing in
// it can contradict what was written.
bool ReadsAs(const QString& text, const RegFile& expected) {
    const std::vector<RegLine> entries = ScanRegLines(SplitRegLines(text));
    return std::count_if(entries.begin(), entries.end(), IsSwitch) == 1 &&
           RegFile::Parse(text) == expected;
}

// The current text for an edit: "" when there is no file yet, nullopt when something other than
// a regular file stands there or the file is too long to be kept whole.
std::optional<QString> ReadForEdit() {
    struct stat st {};
    if (::lstat(QFile::encodeName(UserRegPath()).constData(), &st) != 0)
        return errno == ENOENT ? std::optional<QString>(QString()) : std::nullopt;
    bool cut = false;
    const std::optional<QByteArray> bytes = ReadRegularFile(UserRegPath(), kMaxBytes, &cut);
    if (!bytes || cut) return std::nullopt;
    return DecodeUserReg(*bytes);
}

}  // namespace

QString UserRegPath() {
    return SettingsFolder() + QStringLiteral("/user.reg");
}

QString ReadUserRegText() {
    bool cut = false;
    const std::optional<QByteArray> bytes = ReadRegularFile(UserRegPath(), kMaxBytes, &cut);
    if (!bytes) return {};
    QString text = DecodeUserReg(*bytes);
    if (cut) text.truncate(text.lastIndexOf(u'\n') + 1);  // no half line taken as a value
    return text;
}

bool ReadScreenSaveUsePassword() {
    const std::optional<RegValue> value =
        RegFile::Parse(ReadUserRegText()).value(kDesktopKey, kValueName);
    // Read as a 32-bit number whatever its type: shorter values count as if padded with zeros,
    // longer ones are not a number at all.
    if (!value || value->data.size() > 4) return false;
    return std::any_of(value->data.begin(), value->data.end(), [](char byte) { return byte != 0; });
}

bool WriteScreenSaveUsePassword(bool on) {
    if (!EnsureSettingsFolder()) return false;
    const std::optional<QString> current = ReadForEdit();
    if (!current) return false;
    RegFile expected = RegFile::Parse(*current);
    expected.setValue(kDesktopKey, kValueName, SwitchValue(on));

    QStringList lines = SplitRegLines(*current);
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QString text =
        WithPasswordSwitch(lines, on).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    // An edit that would leave another reading possible gives way to a clean file with every
    // value the reader understood.
    if (!ReadsAs(text, expected)) text = expected.format();
    if (!ReadsAs(text, expected)) return false;
    return WriteFileAtomically(UserRegPath(), EncodeText(text));
}

}  // namespace tavello
