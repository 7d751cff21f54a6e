#include "idle/IdleOptions.h"

namespace tavello {

std::optional<IdleOptions> ParseIdleOptions(const QStringList& args) {
    IdleOptions options;
    bool haveTime = false;
    bool haveLock = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String(kLockOption)) {
            if (haveLock || i + 1 >= args.size() || args[i + 1].trimmed().isEmpty())
                return std::nullopt;
            options.lockCommand = args[++i];
            haveLock = true;
        } else if (!haveTime) {
            options.time = args[i];
            haveTime = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveTime) return std::nullopt;
    return options;
}

QString LockCommandOption(const QStringList& args) {
    const qsizetype at = args.indexOf(QLatin1String(kLockOption));
    if (at < 0 || at + 1 >= args.size()) return {};
    return args[at + 1];
}

QStringList ShowArguments(const QString& lockCommand) {
    QStringList args{QStringLiteral("/S")};
    if (!lockCommand.isEmpty()) args << QLatin1String(kLockOption) << lockCommand;
    return args;
}

}  // namespace tavello
