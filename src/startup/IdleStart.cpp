#include "startup/IdleStart.h"

#include "idle/Autostart.h"
#include "idle/IdleTime.h"
#include "idle/IdleWatcher.h"
#include "platform/EndSignals.h"
#include "platform/IdleMonitor.h"
#include "platform/SingleInstance.h"
#include "startup/DisplayCheck.h"

#include <QCoreApplication>
#include <cstdio>
#include <optional>

namespace tavello {

namespace {

void Say(std::FILE* out, const QString& line) {
    std::fprintf(out, "%s\n", line.toLocal8Bit().constData());
    std::fflush(out);  // a session log gets it now, not when the watcher ends
}

// The time given after the option, or nothing after saying why it cannot be read.
std::optional<std::chrono::seconds> TimeOrSay(int argc, char** argv, const char* fallback) {
    if (argc > 3 || (argc < 3 && !fallback)) {
        Say(stderr, QStringLiteral("TAVELLO: %1 のあとには時間をひとつ書いてください"
                                   "（例: tavello %1 10m）。")
                        .arg(QString::fromLocal8Bit(argv[1])));
        return std::nullopt;
    }
    const QString text = QString::fromLocal8Bit(argc == 3 ? argv[2] : fallback);
    std::optional<std::chrono::seconds> time = ParseIdleTime(text);
    if (!time)
        Say(stderr, QStringLiteral("TAVELLO: 時間「%1」が読めません（90s、10m、1m30s、1h "
                                   "のように書きます。数だけなら分です。1 秒から 24 時間まで）。")
                        .arg(text));
    return time;
}

QString IdleSourceMessage(IdleSourceProblem problem) {
    if (problem == IdleSourceProblem::WaylandSession)
        return QStringLiteral(
            "TAVELLO: Wayland のセッションでは入力のない時間をまだ測れません"
            "（X11 のセッションで使ってください）。");
    return QStringLiteral(
        "TAVELLO: X ディスプレイから入力のない時間がわかりません"
        "（MIT-SCREEN-SAVER 拡張がありません）。");
}

}  // namespace

int RunIdleWatcher(int argc, char** argv) {
    const std::optional<std::chrono::seconds> time = TimeOrSay(argc, argv, nullptr);
    if (!time) return 2;
    if (IdleWatcherInstance().PrevInstance()) {
        Say(stdout, QStringLiteral("TAVELLO: 入力のない時間の見張りはもう動いています。"));
        return 0;
    }
    EndSignals::Catch();
    DisplayHold displayHold;
    if (!ReachDisplayOrSay(displayHold)) return 1;
    int appArgc = 1;
    char* appArgv[] = {argv[0], nullptr};
    QCoreApplication app(appArgc, appArgv);
    IdleSourceProblem problem = IdleSourceProblem::None;
    const std::unique_ptr<IdleMonitor> monitor = OpenIdleMonitor(&problem);
    displayHold.Release();
    if (!monitor) {
        Say(stderr, IdleSourceMessage(problem));
        return 1;
    }
    // The classic show, as a program of its own: its single instance and password apply.
    IdleWatcher watcher(*monitor, QCoreApplication::applicationFilePath(), {QStringLiteral("/S")});
    EndSignals endSignals;
    QObject::connect(&endSignals, &EndSignals::requested, &watcher, [&] { watcher.Stop(0); });
    QObject::connect(monitor.get(), &IdleMonitor::lost, &watcher, [&] {
        Say(stderr, QStringLiteral("TAVELLO: X ディスプレイとの接続が切れました。"));
        watcher.Stop(1);
    });
    QObject::connect(&watcher, &IdleWatcher::finished, &app, &QCoreApplication::exit);
    watcher.Start(*time);
    Say(stdout, QStringLiteral("TAVELLO: 入力のない時間が %1 続くとショーを始めます。")
                    .arg(FormatIdleTime(*time)));
    return app.exec();
}

int RunAddToAutostart(int argc, char** argv) {
    const std::optional<std::chrono::seconds> time =
        TimeOrSay(argc, argv, kDefaultAutostartIdleTime);
    if (!time) return 2;
    // No window is needed; the core application only tells where this program lies.
    int appArgc = 1;
    char* appArgv[] = {argv[0], nullptr};
    QCoreApplication app(appArgc, appArgv);
    const AutostartReport report = AddToAutostart(
        AutostartFile(), AutostartProgram(QCoreApplication::applicationFilePath()), *time);
    Say(report.ok ? stdout : stderr, report.message);
    return report.ok ? 0 : 1;
}

}  // namespace tavello
