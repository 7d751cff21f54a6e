#include "startup/HackStart.h"

#include "host/HostEntry.h"
#include "platform/EndSignals.h"
#include "startup/DisplayCheck.h"
#include "startup/SystemServices.h"

#include <QApplication>

namespace tavello {

int RunHack(const HackOptions& options, char* programName) {
    // The host may end us at any moment from now on: the show is closed cleanly first, and the
    // process then dies by the host's signal.
    EndSignals::Catch();
    if (!options.display.isEmpty()) qputenv("DISPLAY", options.display.toLocal8Bit());
    // The hosts' windows are X11 windows, whatever session the toolkit would otherwise pick.
    DisplayHold displayHold;
    if (!ReachDisplayOrSay(displayHold)) return 1;
    // The toolkit sees none of the hosts' options (it would read -visual and -display itself).
    int argc = 1;
    char* argv[] = {programName, nullptr};
    QApplication app(argc, argv);
    displayHold.Release();
    app.setApplicationName(QStringLiteral("TAVELLO"));
    app.setQuitOnLastWindowClosed(false);
    auto hack = StartHostedShow(options, SystemServices());
    if (!hack) return 1;
    app.exec();
    hack.reset();  // its windows and music; nothing then waits for a worker still running
    EndProcess(0);
}

}  // namespace tavello
