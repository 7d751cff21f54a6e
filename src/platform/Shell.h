#pragma once

#include <QString>
#include <cstdint>

namespace tavello {

inline constexpr int SW_SHOW = 5;

// The shell's "open" of a document or address (a "mailto:" address, a web page) with the
// program the user has chosen for it. Returns a value above 32 on success, as the platform does.
class ShellService {
  public:
    virtual ~ShellService() = default;
    // parameters may be null (no parameters).
    virtual std::intptr_t ShellExecuteA(std::uintptr_t owner, const QString& operation,
                                        const QString& file, const QString* parameters,
                                        const QString& directory, int showCommand) = 0;
};

ShellService& SystemShell();

// The desktop's window, the owner of windows that have none of their own.
std::uintptr_t GetDesktopWindow();

}  // namespace tavello
