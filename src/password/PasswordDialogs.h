#pragma once

#include <QDialog>
#include <functional>

#include "password/PasswordStore.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace tavello {

// Waits after a wrong password, so that guessing at the keyboard is slow. The real one keeps
// the window system running; tests hand in one that only records the call.
using PasswordDelay = std::function<void(int milliseconds)>;
inline constexpr int kWrongPasswordDelayMs = 1000;
// A verify dialog left alone this long gives up, so the show can go on.
inline constexpr int kVerifyIdleTimeoutMs = 30000;

// The real delay: runs the event loop for the given time.
void WaitProcessingEvents(int milliseconds);

// "スクリーンセーバーのパスワード": asks for the password before the show may end. Accepted only
// for the right password; a wrong one shows a message, waits, and rejects.
// Controls: txtPassword, lblMessage, cmdOK, cmdCancel.
class VerifyPasswordDialog : public QDialog {
    Q_OBJECT
  public:
    explicit VerifyPasswordDialog(const PasswordStore& store, QWidget* parent = nullptr);
    ~VerifyPasswordDialog() override;

    void setDelay(PasswordDelay delay) { delay_ = std::move(delay); }
    // 0 waits for ever.
    void setIdleTimeout(int milliseconds);

    void done(int result) override;

  private:
    void checkPassword();

    const PasswordStore& store_;
    PasswordDelay delay_ = WaitProcessingEvents;
    QLineEdit* txtPassword_ = nullptr;
    QLabel* lblMessage_ = nullptr;
    QTimer* idleTimer_ = nullptr;
};

// "パスワードの変更": old password (only when one is stored), new password twice, and the
// "パスワードで保護する" switch. All password fields left empty changes only the switch; an
// empty new password with the right old one removes the password. The switch cannot be turned
// on without a password. Every refusal explains itself and keeps the dialog open.
// A stored file that cannot be read is said so (lblDamaged) and may be replaced without the old
// password: whoever runs this dialog has the desktop and could delete the file anyway.
// Controls: txtOldPassword, txtNewPassword, txtConfirmPassword, UsePasswordChk, lblMessage,
// lblDamaged, cmdOK, cmdCancel.
class ChangePasswordDialog : public QDialog {
    Q_OBJECT
  public:
    // Stores the switch where the desktop reads it; false when that failed.
    using SwitchWriter = std::function<bool(bool on)>;

    ChangePasswordDialog(PasswordStore& store, bool usePassword, SwitchWriter writeSwitch,
                         QWidget* parent = nullptr);
    ~ChangePasswordDialog() override;

    void setDelay(PasswordDelay delay) { delay_ = std::move(delay); }

    void done(int result) override;

  private:
    void apply();
    bool changePassword();
    bool applySwitch();
    void refreshOldPasswordRow();
    void showMessage(const QString& text);
    void wipeFields();

    PasswordStore& store_;
    bool usePassword_;
    SwitchWriter writeSwitch_;
    PasswordDelay delay_ = WaitProcessingEvents;
    QLabel* lblOldPassword_ = nullptr;
    QLineEdit* txtOldPassword_ = nullptr;
    QLineEdit* txtNewPassword_ = nullptr;
    QLineEdit* txtConfirmPassword_ = nullptr;
    QCheckBox* usePasswordChk_ = nullptr;
    QLabel* lblDamaged_ = nullptr;
    QLabel* lblMessage_ = nullptr;
};

}  // namespace tavello
