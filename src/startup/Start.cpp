#include "startup/Start.h"

#include "platform/Password.h"
#include "platform/SingleInstance.h"
#include "settings/Numbers.h"

namespace tavello {

QString CommandLineFromArgs(const QStringList& argsAfterProgram) {
    return argsAfterProgram.join(u' ');
}

StartDecision DecideStart(const QString& commandLine, InstanceService& instance) {
    if (instance.PrevInstance()) return {StartMode::SecondInstance};
    const QString key = commandLine.left(2).toUpper();
    if (key == QStringLiteral("/A")) {
        const double number = LeadingNumber(commandLine.mid(2).trimmed());
        // A handle outside 32 bits cannot name a window: pass none.
        return {StartMode::ChangePassword, RoundHalfEven<std::int32_t>(number).value_or(0)};
    }
    if (key == QStringLiteral("/S")) return {StartMode::Show};
    if (key == QStringLiteral("/C")) return {StartMode::Configure};
    return {StartMode::None};
}

bool NeedsWindow(StartMode mode) {
    return mode == StartMode::ChangePassword || mode == StartMode::Show ||
           mode == StartMode::Configure;
}

void ChangePassword(const StartDecision& decision, PasswordService& password) {
    password.PwdChangePasswordA(QStringLiteral("SCRSAVE"), decision.windowHandle, 0, 0);
}

}  // namespace tavello
