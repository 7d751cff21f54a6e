#include "host/HackOptions.h"

#include <limits>

namespace tavello {

namespace {

// The options whose value follows as the next argument. Only the value of these is skipped, so a
// value of some other option that looks like one of ours cannot be taken for it.
const QStringList kValueOptions = {QStringLiteral("display"), QStringLiteral("window-id"),
                                   QStringLiteral("delay"), QStringLiteral("visual")};

struct Option {
    QString name;  // without its dashes
    std::optional<QString> value;
};

// "-name", "--name" or "--name=value"; nothing for an argument that is not an option.
std::optional<Option> ReadOption(const QString& arg) {
    if (arg.size() < 2 || arg.at(0) != u'-') return std::nullopt;
    QString body = arg.mid(arg.startsWith(QStringLiteral("--")) ? 2 : 1);
    if (body.isEmpty()) return std::nullopt;
    const qsizetype equals = body.indexOf(u'=');
    if (equals < 0) return Option{body, std::nullopt};
    return Option{body.left(equals), body.mid(equals + 1)};
}

}  // namespace

std::optional<std::uint32_t> ParseWindowId(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    qulonglong value = 0;
    if (trimmed.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        const QString digits = trimmed.mid(2);
        // toULongLong would also take a sign or blanks; a window id has only digits.
        for (QChar c : digits)
            if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c)) return std::nullopt;
        value = digits.toULongLong(&ok, 16);
    } else {
        for (QChar c : trimmed)
            if (c < u'0' || c > u'9') return std::nullopt;
        value = trimmed.toULongLong(&ok, 10);
    }
    if (!ok || value == 0 || value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<HackOptions> ParseHackOptions(const QStringList& args,
                                            const QString& screensaverWindow) {
    if (args.isEmpty() || !ReadOption(args.first())) return std::nullopt;
    bool root = false;
    bool ownWindow = false;
    std::optional<std::uint32_t> windowId;
    HackOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        std::optional<Option> option = ReadOption(args.at(i));
        if (!option) continue;  // a stray word: nothing a host passes, nothing to do
        if (!option->value && kValueOptions.contains(option->name) && i + 1 < args.size())
            option->value = args.at(++i);
        if (option->name == QStringLiteral("root")) {
            root = true;
        } else if (option->name == QStringLiteral("window")) {
            ownWindow = true;
        } else if (option->name == QStringLiteral("window-id") && option->value) {
            if (const auto id = ParseWindowId(*option->value)) windowId = id;
        } else if (option->name == QStringLiteral("display") && option->value) {
            options.display = *option->value;
        }
    }
    // A settings preview passes both -root and -window-id: the named window wins.
    if (windowId) {
        options.target = HostTarget::HostWindow;
        options.window = *windowId;
        options.namedOnCommandLine = true;
    } else if (root) {
        const std::optional<std::uint32_t> given = ParseWindowId(screensaverWindow);
        options.target = given ? HostTarget::HostWindow : HostTarget::Root;
        options.window = given.value_or(0);
    } else if (ownWindow) {
        options.target = HostTarget::OwnWindow;
    } else {
        return std::nullopt;
    }
    return options;
}

}  // namespace tavello
