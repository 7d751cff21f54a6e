// The idle time as written after --idle and --add-to-autostart: what is read, what is refused,
// and the shortest writing, which reads back the same.
#include "idle/IdleTime.h"

#include <gtest/gtest.h>

#include <optional>

namespace tavello {
namespace {

TEST(IdleTime, ReadsHoursMinutesSecondsOrPlainMinutes) {
    struct Case {
        const char* text;
        std::optional<long long> seconds;  // nullopt: refused
        const char* shortest;
    } const cases[] = {
        {"90s", 90, "1m30s"},        {"10m", 600, "10m"},
        {"10", 600, "10m"},          {"1m30s", 90, "1m30s"},
        {"1h", 3600, "1h"},          {"1H2M3S", 3723, "1h2m3s"},
        {"3600s", 3600, "1h"},       {"1s", 1, "1s"},
        {"24h", 86400, "24h"},       {"1440", 86400, "24h"},
        {"0010m", 600, "10m"},       {"", std::nullopt, ""},
        {"0", std::nullopt, ""},     {"0s", std::nullopt, ""},
        {"1441", std::nullopt, ""},  {"24h1s", std::nullopt, ""},
        {"abc", std::nullopt, ""},   {"10x", std::nullopt, ""},
        {"-5", std::nullopt, ""},    {"1.5m", std::nullopt, ""},
        {"1m30", std::nullopt, ""},  {"30s1m", std::nullopt, ""},
        {"1m1m", std::nullopt, ""},  {" 10m", std::nullopt, ""},
        {"10 m", std::nullopt, ""},  {"m", std::nullopt, ""},
        {"１０m", std::nullopt, ""}, {"99999999999", std::nullopt, ""},
        {"10m\n", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const auto read = ParseIdleTime(QString::fromUtf8(c.text));
        ASSERT_EQ(read.has_value(), c.seconds.has_value()) << c.text;
        if (!read) continue;
        EXPECT_EQ(read->count(), *c.seconds) << c.text;
        EXPECT_EQ(FormatIdleTime(*read).toStdString(), c.shortest) << c.text;
        EXPECT_EQ(ParseIdleTime(FormatIdleTime(*read)), read) << c.text;
    }
}

}  // namespace
}  // namespace tavello
