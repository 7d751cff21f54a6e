#pragma once

#include <QString>
#include <chrono>
#include <optional>

namespace tavello {

// The idle time as the user writes it: hours, minutes and seconds, each a whole number followed
// by h, m or s in that order, each at most once ("90s", "10m", "1h", "1m30s"), or a plain number
// of minutes ("10"); letters in either case, nothing else around. From one second to a day.
std::optional<std::chrono::seconds> ParseIdleTime(const QString& text);

// The shortest writing of time that reads back the same: "1h", "1m30s", "45s".
QString FormatIdleTime(std::chrono::seconds time);

}  // namespace tavello
