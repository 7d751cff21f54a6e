#include "startup/IdleStart.h"

#include "idle/Autostart.h"
#include "idle/IdleOptions.h"
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

std::optional<std::chrono::seconds> TimeOrSay(const QString& text) {
    std::optional<std::chrono::seconds> time = ParseIdleTime(text);
    if (!time)
        Say(stderr, QStringLiteral("TAVELLO: 時間「%1」が読めません（90s、10m、1m30s、1h "
                                   "のように書きます。数だけなら分です。1 秒から 24 時間まで）。")
                        .arg(text));
    return time;
}

void SayOneTime(const char* option, const QString& example) {
    Say(stderr, QStringLiteral("TAVELLO: %1 のあとには時間をひとつ書いてください"
                               "（例: tavello %1 %2）。")
                    .arg(QString::fromLocal8Bit(option), example));
}

QStringList ArgsAfterOption(int argc, char** argv) {
    QStringList args;
    for (int i = 2; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}

QString IdleSourceMessage(IdleSourceProblem problem) {
    if (problem == IdleSourceProblem::NoWaylandIdle)
        return QStringLiteral(
            "TAVELLO: この Wayland のデスクは入力のない時間を知らせません"
            "（ext-idle-notify-v1 も org_kde_kwin_idle も GNOME の IdleMonitor もありません）。");
    return QStringLiteral(
        "TAVELLO: X ディスプレイから入力のない時間がわかりません"
        "（MIT-SCREEN-SAVER 拡張がありません）。");
}

}  // namespace

int RunIdleWatcher(int argc, char** argv) {
    const std::optional<IdleOptions> options = ParseIdleOptions(ArgsAfterOption(argc, argv));
    if (!options) {
        SayOneTime(kIdleOption, QStringLiteral("10m [--lock 'swaylock -f']"));
        return 2;
    }
    const std::optional<std::chrono::seconds> time = TimeOrSay(options->time);
    if (!time) return 2;
    if (IdleWatcherInstance().PrevInstance()) {
        Say(stdout, QStringLiteral("TAVELLO: 入力のない時間の見張りはもう動いています。"));
        return 0;
    }
    EndSignals::Catch();
    // A Wayland desk tells the idle time itself; the show finds its own display.
    DisplayHold displayHold;
    if (!IdleFromWayland() && !ReachDisplayOrSay(displayHold)) return 1;
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
    IdleWatcher watcher(*monitor, QCoreApplication::applicationFilePath(),
                        ShowArguments(options->lockCommand));
    EndSignals endSignals;
    QObject::connect(&endSignals, &EndSignals::requested, &watcher, [&] { watcher.Stop(0); });
    QObject::connect(monitor.get(), &IdleMonitor::lost, &watcher, [&] {
        Say(stderr,
            QStringLiteral("TAVELLO: 入力のない時間を知らせるデスクとの接続が切れました。"));
        watcher.Stop(1);
    });
    QObject::connect(&watcher, &IdleWatcher::finished, &app, &QCoreApplication::exit);
    watcher.Start(*time);
    Say(stdout, QStringLiteral("TAVELLO: 入力のない時間が %1 続くとショーを始めます。")
                    .arg(FormatIdleTime(*time)));
    return app.exec();
}

int RunAddToAutostart(int argc, char** argv) {
    if (argc > 3) {
        SayOneTime(kAddToAutostartOption, QStringLiteral("10m"));
        return 2;
    }
    const std::optional<std::chrono::seconds> time =
        TimeOrSay(QString::fromLocal8Bit(argc == 3 ? argv[2] : kDefaultAutostartIdleTime));
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
