#pragma once

#include "settings/Numbers.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace tavello {

class InstanceService;
class Registry;
class PasswordService;

// Set once at start-up from the desktop's "ScreenSaveUsePassword"; non-zero means the show asks
// for the screen-saver password before it ends.
extern std::int16_t PasswordFlag;

// What start-up needs from the rest of the program.
struct StartDeps {
    InstanceService* instance = nullptr;
    Registry* registry = nullptr;
    PasswordService* password = nullptr;
    std::function<void()> loadSaverWindow;     // "/S": runs the whole show
    std::function<void()> showSettingsDialog;  // "/C": shows the dialog modeless and returns
};

enum class StartMode { None, SecondInstance, ChangePassword, Show, Configure };

// The command line as the classic host passes it: the arguments after the program's path,
// joined with single blanks ("/S", "1234" gives "/S 1234").
QString CommandLineFromArgs(const QStringList& argsAfterProgram);

// Reads the password switch from the registry into a 16-bit flag (0 on any failure).
std::int16_t ReadPasswordFlag(Registry& registry);

// The entry procedure: single instance, password switch, then the mode from the command line.
StartMode Start(const QString& commandLine, const StartDeps& deps);

}  // namespace tavello
