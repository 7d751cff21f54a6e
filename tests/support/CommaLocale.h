#pragma once

#include <clocale>
#include <string>

namespace tavello::test {

// Switches the C library to a locale that writes the decimal point as a comma, as the toolkit does
// from the environment of a German user, and back again when it goes. active() is false when no
// such locale is installed (scripts/setup.sh generates de_DE.UTF-8).
class CommaLocale {
  public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
                  std::localeconv()->decimal_point == std::string(",");
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return active_; }
    static constexpr const char* kMissing =
        "no comma-decimal locale installed: run scripts/setup.sh to generate de_DE.UTF-8";

  private:
    std::string previous_;
    bool active_ = false;
};

}  // namespace tavello::test
