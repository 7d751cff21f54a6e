#include "platform/linux/PasswordProvider.h"

namespace tavello {

std::int32_t PasswordProvider::VerifyScreenSavePwd(QWidget* window) {
    const PasswordStore store(parts_.storePath());
    if (store.state() == PasswordStore::State::None) return 1;
    VerifyPasswordDialog dialog(store, window);
    dialog.setDelay(parts_.delay);
    dialog.setIdleTimeout(parts_.verifyIdleTimeoutMs);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

std::int32_t PasswordProvider::PwdChangePasswordA(const QString& provider,
                                                  std::int32_t /*windowHandle*/,
                                                  std::int32_t /*reserved1*/,
                                                  std::int32_t /*reserved2*/) {
    if (provider.compare(QStringLiteral("SCRSAVE"), Qt::CaseInsensitive) != 0)
        return kPwdBadProvider;
    PasswordStore store(parts_.storePath());
    const bool usePassword = parts_.readUsePassword && parts_.readUsePassword();
    ChangePasswordDialog dialog(store, usePassword, parts_.writeUsePassword);
    dialog.setDelay(parts_.delay);
    return dialog.exec() == QDialog::Accepted ? kPwdNoError : kPwdCancelled;
}

}  // namespace tavello
