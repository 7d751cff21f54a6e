#pragma once

// The program's rules for reading text as numbers and for turning fractions into integers.
// Settings are kept as text and converted where they are used, always by these rules.

#include <QString>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tavello {

// Truth values are 16-bit: 0 false, -1 true.
using Flag16 = std::int16_t;
inline constexpr Flag16 kFalse = 0;
inline constexpr Flag16 kTrue = -1;

// Lenient reading: skips blanks, tabs and line feeds anywhere, reads an optional sign, digits,
// one ".", an exponent, or "&H"/"&O" digits, up to the first character that cannot continue the
// number. Never fails: a text without a number at its start reads as 0.
double LeadingNumber(const QString& text);

// Strict reading: the whole text (surrounding blanks allowed) must be one number; "" fails.
std::optional<double> StrictNumber(const QString& text);

// Nearest integer, a half going to the even neighbour; fails outside T's range or for NaN.
template <typename T>
std::optional<T> RoundHalfEven(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

}  // namespace tavello
