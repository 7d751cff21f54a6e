#include "startup/SystemServices.h"

#include "music/Mci.h"
#include "platform/Cursor.h"
#include "platform/DeskGuard.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Password.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/SingleInstance.h"
#include "platform/TickCount.h"

namespace tavello {

Services SystemServices() {
    Services s;
    s.ticks = &SystemTicks();
    s.cursor = &SystemCursor();
    s.password = &SystemPassword();
    s.registry = &SystemRegistry();
    s.instance = &SystemInstance();
    s.mci = &SystemMci();
    s.messageBox = &SystemMessageBox();
    s.fileDialog = &SystemFileDialog();
    s.shell = &SystemShell();
    s.desk = &SystemDeskGuard();
    return s;
}

}  // namespace tavello
