#pragma once

#include "platform/DesktopLock.h"
#include "platform/Password.h"

#include <memory>

namespace tavello {

// The password question on a desk where the show is never a lock (Wayland): the desktop's own
// lock answers it. Yes once the lock is up, so the show comes down only behind it; no when it
// could not be put up, and the show stays until the next touch tries again. Changing the
// password is left to the usual provider.
class DesktopLockPassword : public PasswordService {
  public:
    DesktopLockPassword(PasswordService& provider, std::unique_ptr<DesktopLock> lock);

    // The lock is never waited for: this desk is only asked through AskScreenSavePwd, and a
    // question asked here keeps the show up.
    std::int32_t VerifyScreenSavePwd(QWidget* window) override;
    void AskScreenSavePwd(QWidget* window, std::function<void(std::int32_t)> answered) override;
    std::int32_t PwdChangePasswordA(const QString& provider, std::int32_t windowHandle,
                                    std::int32_t reserved1, std::int32_t reserved2) override;

  private:
    PasswordService& provider_;
    std::unique_ptr<DesktopLock> lock_;
};

}  // namespace tavello
