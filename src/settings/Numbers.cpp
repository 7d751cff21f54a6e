#include "settings/Numbers.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace tavello {
namespace {

bool IsSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The text with blanks, tabs and line feeds removed, which the lenient reading ignores anywhere.
std::string Compact(const QString& text) {
    std::string out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (IsSkipped(c)) continue;
        // Only ASCII can take part in a number; anything else ends it like any other stray
        // character would.
        out.push_back(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x01');
    }
    return out;
}

// Character tests of our own: the C library's follow the locale the toolkit has set.
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigitInBase(char c, int base) {
    if (base == 8) return c >= '0' && c <= '7';
    if (base == 16) return IsDigit(c) || (LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f');
    return IsDigit(c);
}

// "&H" / "&O" numbers: the digits up to the first that does not belong. Hexadecimal and octal
// literals of up to 32 bits are signed, as the classic reader takes them ("&HFFFFFFFF" is -1).
double ReadRadix(const std::string& s, std::size_t pos, int base, std::size_t* end) {
    double value = 0;
    std::size_t i = pos;
    while (i < s.size() && IsDigitInBase(s[i], base)) {
        const char c = LowerAscii(s[i]);
        value = value * base + (c <= '9' ? c - '0' : c - 'a' + 10);
        ++i;
    }
    *end = i;
    if (value >= 2147483648.0 && value <= 4294967295.0) value -= 4294967296.0;
    return value;
}

// Whether a well-formed decimal text without sign (digits, ".", exponent) that a double cannot
// hold is too large for it rather than too small: where its first significant digit stands.
bool TooLarge(std::string_view text) {
    const std::size_t e = text.find_first_of("eEdD");
    const std::string_view mantissa = text.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = text.substr(e + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
            digits.remove_prefix(1);
        // An exponent beyond any count of digits decides alone.
        constexpr long long kDecisive = 1'000'000'000'000;
        if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec !=
                std::errc() ||
            exponent > kDecisive)
            return !negative;
        if (negative) exponent = -exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos) return false;
    const long long position = first < point ? static_cast<long long>(point - first)
                                             : -static_cast<long long>(first - point - 1);
    return position + exponent > 0;
}

// The value of a well-formed decimal text (sign, digits, ".", exponent with "e" or "d"). The
// point is "." whatever the locale; beyond a double's range the value is an infinity or zero.
double DecimalValue(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    std::string number(text);
    for (char& c : number)
        if (c == 'd' || c == 'D') c = 'e';
    double value = 0;
    const std::errc error = std::from_chars(number.data(), number.data() + number.size(), value).ec;
    if (error == std::errc::result_out_of_range) value = TooLarge(number) ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

// Reads one decimal number at the start of s: sign, digits, one ".", exponent. Returns the
// number of characters taken (0 when there is no number) and the value.
std::size_t ReadDecimal(const std::string& s, double* value) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) {
        *value = 0;
        return 0;
    }
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t expDigits = j;
        while (j < s.size() && IsDigit(s[j])) ++j;
        if (j > expDigits) end = j;
    }
    *value = DecimalValue(std::string_view(s).substr(0, end));
    return end;
}

// Reads the number at the start of s; returns the characters taken (0 for none).
std::size_t ReadNumber(const std::string& s, double* value) {
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = LowerAscii(s[1]);
        if (kind == 'h' || kind == 'o') {
            std::size_t end = 0;
            *value = ReadRadix(s, 2, kind == 'h' ? 16 : 8, &end);
            return end > 2 ? end : 0;
        }
    }
    return ReadDecimal(s, value);
}

}  // namespace

double LeadingNumber(const QString& text) {
    double value = 0;
    return ReadNumber(Compact(text), &value) > 0 ? value : 0.0;
}

std::optional<double> StrictNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    for (QChar c : trimmed)
        if (IsSkipped(c)) return std::nullopt;  // no blanks inside one number
    const std::string s = Compact(trimmed);
    double value = 0;
    if (ReadNumber(s, &value) != s.size()) return std::nullopt;
    return value;
}

}  // namespace tavello
