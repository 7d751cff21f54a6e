#pragma once

// Every operating-system service the windows use, gathered so that start-up hands the real ones
// to the windows and tests hand in fakes. Each pointer is never null once start-up's
// SystemServices() or a test has filled it.

namespace tavello {

class TickSource;
class CursorService;
class PasswordService;
class InstanceService;
class MciService;
class MessageBoxService;
class FileDialogService;
class ShellService;
class DeskGuard;

struct Services {
    TickSource* ticks = nullptr;
    CursorService* cursor = nullptr;
    PasswordService* password = nullptr;
    InstanceService* instance = nullptr;
    MciService* mci = nullptr;
    MessageBoxService* messageBox = nullptr;
    FileDialogService* fileDialog = nullptr;
    ShellService* shell = nullptr;
    DeskGuard* desk = nullptr;
};

}  // namespace tavello
