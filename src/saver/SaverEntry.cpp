#include "saver/SaverEntry.h"

#include "saver/Form1.h"
#include "saver/PictureOrder.h"
#include "saver/ShowWaiter.h"
#include "settings/SettingsFile.h"
#include "toolkit/Toolkit.h"

namespace tavello {

int LoadSaverWindow(const Services& services, std::int16_t passwordFlag) {
    EventLoopWaiter waiter;
    ClockSeededRandom random;
    SaverDeps deps;
    deps.services = services;
    deps.passwordFlag = passwordFlag;
    deps.waiter = &waiter;
    deps.random = &random;
    deps.screenTwips = ScreenSizeTwips();
    deps.settingsPath = SettingsPath();
    Form1 form(deps);
    form.Form_Load();
    return form.windowLost() ? 1 : 0;
}

}  // namespace tavello
