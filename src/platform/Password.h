#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace tavello {

// The screen-saver password: changing it ("/A") and verifying it before the show may end. The
// show reaches it only through this interface; the password library implements it.
class PasswordService {
  public:
    virtual ~PasswordService() = default;
    // Asks for the password over the given window; 0 when it was wrong or cancelled, else non-zero.
    virtual std::int32_t VerifyScreenSavePwd(QWidget* window) = 0;
    // The same question without waiting for it: the answer (as above) arrives through answered,
    // once, possibly before this returns. The prompt is gone with the window.
    virtual void AskScreenSavePwd(QWidget* window, std::function<void(std::int32_t)> answered) {
        answered(VerifyScreenSavePwd(window));
    }
    // Lets the user change the password of the named provider ("SCRSAVE"); result not examined.
    virtual std::int32_t PwdChangePasswordA(const QString& provider, std::int32_t windowHandle,
                                            std::int32_t reserved1, std::int32_t reserved2) = 0;
};

}  // namespace tavello
