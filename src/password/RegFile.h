#pragma once

// Reading and writing the registry editor's text export format ("Windows Registry Editor
// Version 5.00" or "REGEDIT4"): [key] sections with "name"=value lines, values as dword:, hex:,
// hex(N): or strings.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace tavello {

// The value types the format names: strings, raw bytes (hex:) and 32-bit numbers (dword:,
// hex(4):).
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

struct RegValue {
    std::uint32_t type = 0;
    QByteArray data;
    bool operator==(const RegValue&) const = default;
};

// One entry of the file as the reader sees it, with the physical lines it spans (a hex value may
// continue over several). Whoever edits the file works on these, so that it changes exactly the
// entries the reader will take.
struct RegLine {
    enum class Kind { Other, Section, Value };
    Kind kind = Kind::Other;
    qsizetype first = 0;  // index of its first physical line
    qsizetype last = 0;   // index of its last physical line
    // Section: the key as written, "" for a deleted key ([-...]). Value: the key of the section it
    // stands in, "" outside any section.
    QString key;
    QString name;                   // Value: the name with escapes undone, "" for @
    std::optional<RegValue> value;  // Value: nullopt when the value's text is not understood
};

// The file's physical lines (LF or CR LF ends).
QStringList SplitRegLines(const QString& text);
std::vector<RegLine> ScanRegLines(const QStringList& lines);

class RegFile {
  public:
    static RegFile Parse(const QString& text);

    bool hasKey(const QString& fullKey) const;
    // The value under fullKey ("HKEY_CURRENT_USER\Control Panel\desktop"); names and keys match
    // case-insensitively. When a value appears more than once, the last one counts.
    std::optional<RegValue> value(const QString& fullKey, const QString& name) const;
    void setValue(const QString& fullKey, const QString& name, const RegValue& value);

    // The whole content written out afresh: the header, then each key with one line per value.
    QString format() const;

    // The same keys and values, whatever the spelling of their names.
    bool operator==(const RegFile& other) const;

  private:
    struct NamedValue {
        QString name;  // as first written
        RegValue value;
    };
    struct Key {
        QString name;                          // as first written
        std::map<QString, NamedValue> values;  // lower-cased name -> value
    };
    Key& key(const QString& fullKey);

    std::map<QString, Key> keys_;  // lower-cased key -> key
};

// Parses one value's text after the "=": dword:0000001f, hex:01,00, hex(2):.., "text".
std::optional<RegValue> ParseRegValue(const QString& text);
// The value's text after the "=", in a form ParseRegValue reads back to the same value.
QString FormatRegValue(const RegValue& value);

}  // namespace tavello
