#include "startup/Start.h"

#include "platform/Password.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"

#include <cstring>

namespace tavello {

std::int16_t PasswordFlag = 0;

QString CommandLineFromArgs(const QStringList& argsAfterProgram) {
    return argsAfterProgram.join(u' ');
}

std::int16_t ReadPasswordFlag(Registry& registry) {
    HKEY key = 0;
    if (registry.RegOpenKeyExA(HKEY_CURRENT_USER, QStringLiteral("Control Panel\\desktop"), 0,
                               KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    std::uint32_t type = REG_DWORD;
    std::uint8_t data[4] = {0, 0, 0, 0};
    std::uint32_t size = sizeof data;
    const std::int32_t result = registry.RegQueryValueExA(
        key, QStringLiteral("ScreenSaveUsePassword"), nullptr, &type, data, &size);
    registry.RegCloseKey(key);
    if (result != ERROR_SUCCESS) return 0;
    const std::int32_t value = static_cast<std::int32_t>(
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24));
    // The flag is 16 bits wide; a larger value still means "on" rather than wrapping to 0.
    if (value > INT16_MAX || value < INT16_MIN) return -1;
    return static_cast<std::int16_t>(value);
}

namespace {

void ChangePassword(const QString& commandLine, PasswordService& password) {
    const double number = LeadingNumber(commandLine.mid(2).trimmed());
    // A handle outside 32 bits cannot name a window: pass none.
    const std::int32_t handle = RoundHalfEven<std::int32_t>(number).value_or(0);
    password.PwdChangePasswordA(QStringLiteral("SCRSAVE"), handle, 0, 0);
}

}  // namespace

StartMode Start(const QString& commandLine, const StartDeps& deps) {
    if (deps.instance->PrevInstance()) return StartMode::SecondInstance;
    PasswordFlag = ReadPasswordFlag(*deps.registry);

    const QString key = commandLine.left(2).toUpper();
    if (key == QStringLiteral("/A")) {
        ChangePassword(commandLine, *deps.password);
        return StartMode::ChangePassword;
    }
    if (key == QStringLiteral("/S")) {
        deps.loadSaverWindow();
        return StartMode::Show;
    }
    if (key == QStringLiteral("/C")) {
        deps.showSettingsDialog();
        return StartMode::Configure;
    }
    return StartMode::None;
}

}  // namespace tavello
