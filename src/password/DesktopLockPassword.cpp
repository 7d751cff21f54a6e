#include "password/DesktopLockPassword.h"

#include <cstdio>

namespace tavello {

DesktopLockPassword::DesktopLockPassword(PasswordService& provider,
                                         std::unique_ptr<DesktopLock> lock)
    : provider_(provider), lock_(std::move(lock)) {}

std::int32_t DesktopLockPassword::VerifyScreenSavePwd(QWidget*) {
    return 0;
}

void DesktopLockPassword::AskScreenSavePwd(QWidget*, std::function<void(std::int32_t)> answered) {
    lock_->Lock([answered = std::move(answered)](bool locked) {
        if (!locked) std::fputs("TAVELLO: デスクトップをロックできませんでした\n", stderr);
        answered(locked ? 1 : 0);
    });
}

std::int32_t DesktopLockPassword::PwdChangePasswordA(const QString& provider,
                                                     std::int32_t windowHandle,
                                                     std::int32_t reserved1,
                                                     std::int32_t reserved2) {
    return provider_.PwdChangePasswordA(provider, windowHandle, reserved1, reserved2);
}

}  // namespace tavello
