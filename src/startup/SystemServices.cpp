#include "startup/SystemServices.h"

#include "music/BackgroundOpen.h"
#include "music/Mci.h"
#include "password/SystemPassword.h"
#include "platform/Cursor.h"
#include "platform/DeskGuard.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "platform/TickCount.h"

namespace tavello {

Services SystemServices() {
    Services s;
    s.ticks = &SystemTicks();
    s.cursor = &SystemCursor();
    s.password = &SystemPassword();
    s.instance = &SystemInstance();
    // Opening a MIDI song loads a soundfont; the headline does not wait for it.
    static BackgroundOpenMci mci(SystemMci());
    s.mci = &mci;
    s.messageBox = &SystemMessageBox();
    s.fileDialog = &SystemFileDialog();
    s.shell = &SystemShell();
    s.desk = &SystemDeskGuard();
    return s;
}

}  // namespace tavello
