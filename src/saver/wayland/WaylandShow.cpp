#include "saver/wayland/WaylandShow.h"

#include "platform/linux/WaylandClient.h"
#include "saver/wayland/LayerShellDesk.h"
#include "saver/wayland/WaylandGlobals.h"
#include "saver/wayland/WindowDesk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

namespace tavello {

namespace {

// What the session's compositor offers, asked before the toolkit starts.
struct WaylandOffer {
    bool reached = false;
    bool layerShell = false;
    QList<QRect> outputs;  // the monitors' places, the main one first
};

WaylandOffer ProbeWayland() {
    WaylandOffer offer;
    const auto connection = WaylandClient::Connect();
    if (!connection) return offer;
    WaylandGlobals globals(connection->display());
    // The first answer lists the globals, the second describes the monitors bound meanwhile.
    if (!connection->Roundtrip() || !connection->Roundtrip()) return offer;
    offer.reached = true;
    offer.layerShell = globals.layerShellOffered;
    for (const auto& output : globals.outputs())
        if (output->described) offer.outputs << output->Logical();
    return offer;
}

// The offscreen platform's screens, one per monitor in the compositor's order and places, so the
// show lays itself out at the main monitor's size.
std::shared_ptr<QTemporaryFile> ScreensFile(const QList<QRect>& outputs) {
    if (outputs.isEmpty()) return nullptr;
    QJsonArray screens;
    for (qsizetype i = 0; i < outputs.size(); ++i) {
        const QRect& place = outputs[i];
        screens.append(QJsonObject{{"name", QStringLiteral("WL-%1").arg(i + 1)},
                                   {"x", place.x()},
                                   {"y", place.y()},
                                   {"width", place.width()},
                                   {"height", place.height()},
                                   {"logicalDpi", 96},
                                   {"logicalBaseDpi", 96},
                                   {"dpr", 1}});
    }
    auto file = std::make_shared<QTemporaryFile>();
    if (!file->open()) return nullptr;
    file->write(QJsonDocument(QJsonObject{{"screens", screens}}).toJson());
    file->flush();
    return file;
}

}  // namespace

WaylandShowStart PrepareWaylandShow() {
    WaylandShowStart start;
    WaylandSession session;
    session.named = NamesWaylandSession(qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"));
    WaylandOffer offer;
    if (session.named) offer = ProbeWayland();
    session.reached = offer.reached;
    session.layerShell = offer.layerShell;
    start.kind = ChooseDeskKind(session);
    if (start.kind == DeskKind::WaylandWindows) qputenv("QT_QPA_PLATFORM", "wayland");
    if (start.kind != DeskKind::LayerShell) return start;
    start.screens = ScreensFile(offer.outputs);
    QByteArray platform = "offscreen";
    if (start.screens) platform += ":configfile=" + start.screens->fileName().toLocal8Bit();
    qputenv("QT_QPA_PLATFORM", platform);
    return start;
}

DeskFactory WaylandDeskFactory(DeskKind kind) {
    if (kind == DeskKind::LayerShell) return MakeLayerShellDesk;
    return MakeWaylandWindowDesk;
}

}  // namespace tavello
