#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tavello {

class InstanceService;
class PasswordService;

enum class StartMode { None, SecondInstance, ChangePassword, Show, Configure };

// What start-up decided, before anything is created for it.
struct StartDecision {
    StartMode mode = StartMode::None;
    std::int32_t windowHandle = 0;  // "/A": the host's window, 0 for none
};

// The command line as the classic host passes it: the arguments after the program's path,
// joined with single blanks ("/S", "1234" gives "/S 1234").
QString CommandLineFromArgs(const QStringList& argsAfterProgram);

// The single-instance check first (a second instance does nothing at all), then the mode from the
// command line's first two characters: "/A" (with its window handle), "/S", "/C"; anything else
// is None.
StartDecision DecideStart(const QString& commandLine, InstanceService& instance);

// Whether the mode opens a window, so the window system must be reached; the others end at once.
bool NeedsWindow(StartMode mode);

// "/A": the password change of the screen saver's provider.
void ChangePassword(const StartDecision& decision, PasswordService& password);

}  // namespace tavello
