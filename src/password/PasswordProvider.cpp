#include "password/PasswordProvider.h"

#include <QTimer>

namespace tavello {

namespace {

// Over a window that stands above everything (the show), the prompt stands above it too, outside
// any window manager's stacking rules, and takes the keyboard focus itself, as no manager gives it.
void StandAbove(QWidget* window, QDialog& dialog) {
    if (!window || !window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return;
    dialog.setWindowFlags(dialog.windowFlags() | Qt::WindowStaysOnTopHint |
                          Qt::X11BypassWindowManagerHint);
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.raise();
        dialog.activateWindow();
    });
}

}  // namespace

std::int32_t PasswordProvider::VerifyScreenSavePwd(QWidget* window) {
    const PasswordStore store(parts_.storePath());
    if (store.state() == PasswordStore::State::None) return 1;
    VerifyPasswordDialog dialog(store, window);
    StandAbove(window, dialog);
    dialog.setDelay(parts_.delay);
    dialog.setIdleTimeout(parts_.verifyIdleTimeoutMs);
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

void PasswordProvider::AskScreenSavePwd(QWidget* window,
                                        std::function<void(std::int32_t)> answered) {
    auto store = std::make_shared<const PasswordStore>(parts_.storePath());
    if (store->state() == PasswordStore::State::None) return answered(1);
    // A child of the window: it goes when the show goes, answering nothing.
    auto* dialog = new VerifyPasswordDialog(*store, window);
    StandAbove(window, *dialog);
    dialog->setDelay(parts_.delay);
    dialog->setIdleTimeout(parts_.verifyIdleTimeoutMs);
    dialog->setWindowModality(Qt::ApplicationModal);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, store, answered = std::move(answered)](int result) {
                         dialog->deleteLater();
                         answered(result == QDialog::Accepted ? 1 : 0);
                     });
    dialog->show();
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
