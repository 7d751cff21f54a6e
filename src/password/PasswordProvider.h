#pragma once

#include <QString>
#include <functional>

#include "password/PasswordDialogs.h"
#include "platform/Password.h"

namespace tavello {

// The classic result codes of the password-change call.
inline constexpr std::int32_t kPwdNoError = 0;
inline constexpr std::int32_t kPwdBadProvider = 1204;  // ERROR_BAD_PROVIDER
inline constexpr std::int32_t kPwdCancelled = 1223;    // ERROR_CANCELLED

// What the password provider is made of; SystemPassword() fills in the real parts.
struct PasswordProviderParts {
    // The password file; asked for at every call, so a change of settings folder is followed.
    std::function<QString()> storePath;
    // The desktop's "password protected" switch as it stands, and how to store it.
    std::function<bool()> readUsePassword;
    ChangePasswordDialog::SwitchWriter writeUsePassword;
    PasswordDelay delay = WaitProcessingEvents;
    int verifyIdleTimeoutMs = kVerifyIdleTimeoutMs;
};

// The screen-saver password provider, over PasswordStore and its dialogs.
//  - VerifyScreenSavePwd: 1 at once when no password is stored (the switch alone protects
//    nothing, so the show may end); otherwise the verify dialog over the given window, 1 for the
//    right password, 0 for a wrong one, a cancel or an unanswered dialog. A stored file that
//    cannot be read never matches.
//  - PwdChangePasswordA: the change dialog for the provider "SCRSAVE" (any case); the window
//    handle of the classic platform means nothing here and is ignored. kPwdNoError after OK,
//    kPwdCancelled after Cancel, kPwdBadProvider for another provider (no dialog).
class PasswordProvider final : public PasswordService {
  public:
    explicit PasswordProvider(PasswordProviderParts parts) : parts_(std::move(parts)) {}

    std::int32_t VerifyScreenSavePwd(QWidget* window) override;
    void AskScreenSavePwd(QWidget* window, std::function<void(std::int32_t)> answered) override;
    std::int32_t PwdChangePasswordA(const QString& provider, std::int32_t windowHandle,
                                    std::int32_t reserved1, std::int32_t reserved2) override;

  private:
    PasswordProviderParts parts_;
};

}  // namespace tavello
