#include "settings/Numbers.h"

#include <cctype>
#include <cstdlib>
#include <string>

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

bool IsDigitInBase(char c, int base) {
    if (base == 8) return c >= '0' && c <= '7';
    if (base == 16) return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    return c >= '0' && c <= '9';
}

// "&H" / "&O" numbers: the digits up to the first that does not belong. Hexadecimal and octal
// literals of up to 32 bits are signed, as the classic reader takes them ("&HFFFFFFFF" is -1).
double ReadRadix(const std::string& s, std::size_t pos, int base, std::size_t* end) {
    double value = 0;
    std::size_t i = pos;
    while (i < s.size() && IsDigitInBase(s[i], base)) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
        value = value * base + (c <= '9' ? c - '0' : c - 'a' + 10);
        ++i;
    }
    *end = i;
    if (value >= 2147483648.0 && value <= 4294967295.0) value -= 4294967296.0;
    return value;
}

// Reads one decimal number at the start of s: sign, digits, one ".", exponent. Returns the
// number of characters taken (0 when there is no number) and the value.
std::size_t ReadDecimal(const std::string& s, double* value) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
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
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        if (j > expDigits) end = j;
    }
    std::string number = s.substr(0, end);
    for (char& c : number)
        if (c == 'd' || c == 'D') c = 'e';
    *value = std::strtod(number.c_str(), nullptr);
    return end;
}

// Reads the number at the start of s; returns the characters taken (0 for none).
std::size_t ReadNumber(const std::string& s, double* value) {
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H' || kind == 'O') {
            std::size_t end = 0;
            *value = ReadRadix(s, 2, kind == 'H' ? 16 : 8, &end);
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
