#pragma once

// Reading the registry editor's text export format ("Windows Registry Editor Version 5.00" or
// "REGEDIT4"): [key] sections with "name"=value lines, values as dword:, hex:, hex(N): or strings.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <optional>

namespace tavello {

struct RegValue {
    std::uint32_t type = 0;
    QByteArray data;
};

class RegFile {
  public:
    static RegFile Parse(const QString& text);

    bool hasKey(const QString& fullKey) const;
    // The value under fullKey ("HKEY_CURRENT_USER\Control Panel\desktop"); names and keys match
    // case-insensitively.
    std::optional<RegValue> value(const QString& fullKey, const QString& name) const;

  private:
    std::map<QString, std::map<QString, RegValue>> keys_;  // lower-cased key -> lower-cased name
};

// Parses one value's text after the "=": dword:0000001f, hex:01,00, hex(2):.., "text".
std::optional<RegValue> ParseRegValue(const QString& text);

}  // namespace tavello
