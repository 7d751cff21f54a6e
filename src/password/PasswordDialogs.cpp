#include "password/PasswordDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tavello {

namespace {

// Wide enough that the Japanese prompts wrap into at most two lines.
constexpr int kDialogMinimumWidth = 380;

QLineEdit* MakePasswordEdit(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    // Keeps the field out of the clipboard and input-method histories.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    return edit;
}

QLabel* MakeMessageLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblMessage"));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: #b00020;"));
    label->hide();
    return label;
}

// OK and Cancel with the captions of the Japanese desktop; OK is the default button.
QDialogButtonBox* MakeButtons(QDialog* dialog) {
    auto* box = new QDialogButtonBox(dialog);
    auto* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

// Runs the delay with the dialog greyed out; false when the dialog went away meanwhile.
bool PauseDialog(QDialog* dialog, const PasswordDelay& delay, int milliseconds) {
    QPointer<QDialog> guard(dialog);
    dialog->setEnabled(false);
    if (delay) delay(milliseconds);
    if (!guard) return false;
    dialog->setEnabled(true);
    return true;
}

}  // namespace

void WaitProcessingEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// --- VerifyPasswordDialog ---

VerifyPasswordDialog::VerifyPasswordDialog(const PasswordStore& store, QWidget* parent)
    : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("スクリーンセーバーのパスワード"));
    setModal(true);
    setMinimumWidth(kDialogMinimumWidth);

    auto* prompt = new QLabel(
        QStringLiteral("スクリーンセーバーを終了するには、パスワードを入力してください。"), this);
    prompt->setWordWrap(true);
    txtPassword_ = MakePasswordEdit(QStringLiteral("txtPassword"), this);
    auto* fieldLabel = new QLabel(QStringLiteral("パスワード(&P):"), this);
    fieldLabel->setBuddy(txtPassword_);
    lblMessage_ = MakeMessageLabel(this);

    auto* form = new QFormLayout;
    form->addRow(fieldLabel, txtPassword_);
    auto* buttons = MakeButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &VerifyPasswordDialog::checkPassword);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(form);
    layout->addWidget(lblMessage_);
    layout->addWidget(buttons);
    txtPassword_->setFocus();

    idleTimer_ = new QTimer(this);
    idleTimer_->setSingleShot(true);
    connect(idleTimer_, &QTimer::timeout, this, &QDialog::reject);
    connect(txtPassword_, &QLineEdit::textEdited, idleTimer_, qOverload<>(&QTimer::start));
    setIdleTimeout(kVerifyIdleTimeoutMs);
}

VerifyPasswordDialog::~VerifyPasswordDialog() {
    WipeLineEdit(*txtPassword_);
}

void VerifyPasswordDialog::setIdleTimeout(int milliseconds) {
    idleTimer_->stop();
    if (milliseconds <= 0) return;
    idleTimer_->setInterval(milliseconds);
    idleTimer_->start();
}

void VerifyPasswordDialog::checkPassword() {
    idleTimer_->stop();
    bool right = false;
    {
        const SecretBytes password = SecretBytes::FromLineEdit(*txtPassword_);
        WipeLineEdit(*txtPassword_);
        right = store_.verify(password);
    }
    if (right) {
        accept();
        return;
    }
    lblMessage_->setText(QStringLiteral("パスワードが正しくありません。"));
    lblMessage_->show();
    if (PauseDialog(this, delay_, kWrongPasswordDelayMs)) reject();
}

void VerifyPasswordDialog::done(int result) {
    idleTimer_->stop();
    WipeLineEdit(*txtPassword_);
    QDialog::done(result);
}

// --- ChangePasswordDialog ---

ChangePasswordDialog::ChangePasswordDialog(PasswordStore& store, bool usePassword,
                                           SwitchWriter writeSwitch, QWidget* parent)
    : QDialog(parent),
      store_(store),
      usePassword_(usePassword),
      writeSwitch_(std::move(writeSwitch)) {
    setWindowTitle(QStringLiteral("パスワードの変更"));
    setModal(true);
    setMinimumWidth(kDialogMinimumWidth);

    txtOldPassword_ = MakePasswordEdit(QStringLiteral("txtOldPassword"), this);
    txtNewPassword_ = MakePasswordEdit(QStringLiteral("txtNewPassword"), this);
    txtConfirmPassword_ = MakePasswordEdit(QStringLiteral("txtConfirmPassword"), this);
    lblOldPassword_ = new QLabel(QStringLiteral("古いパスワード(&O):"), this);
    lblOldPassword_->setBuddy(txtOldPassword_);
    auto* lblNew = new QLabel(QStringLiteral("新しいパスワード(&N):"), this);
    lblNew->setBuddy(txtNewPassword_);
    auto* lblConfirm = new QLabel(QStringLiteral("新しいパスワードの確認(&C):"), this);
    lblConfirm->setBuddy(txtConfirmPassword_);

    usePasswordChk_ = new QCheckBox(QStringLiteral("パスワードで保護する"), this);
    usePasswordChk_->setObjectName(QStringLiteral("UsePasswordChk"));
    usePasswordChk_->setChecked(usePassword);

    lblDamaged_ = new QLabel(QStringLiteral("保存されているパスワードを読み取れません。"
                                            "新しいパスワードを設定してください。"),
                             this);
    lblDamaged_->setObjectName(QStringLiteral("lblDamaged"));
    lblDamaged_->setWordWrap(true);
    auto* hint = new QLabel(
        QStringLiteral("パスワードを変更しないときは、パスワードの欄を空のままにしてください。"),
        this);
    hint->setWordWrap(true);
    lblMessage_ = MakeMessageLabel(this);

    auto* form = new QFormLayout;
    form->addRow(lblOldPassword_, txtOldPassword_);
    form->addRow(lblNew, txtNewPassword_);
    form->addRow(lblConfirm, txtConfirmPassword_);
    auto* buttons = MakeButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangePasswordDialog::apply);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDamaged_);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(usePasswordChk_);
    layout->addWidget(lblMessage_);
    layout->addWidget(buttons);
    refreshOldPasswordRow();
}

ChangePasswordDialog::~ChangePasswordDialog() {
    wipeFields();
}

void ChangePasswordDialog::refreshOldPasswordRow() {
    const PasswordStore::State state = store_.state();
    const bool askOld = state == PasswordStore::State::Set;
    lblOldPassword_->setVisible(askOld);
    txtOldPassword_->setVisible(askOld);
    lblDamaged_->setVisible(state == PasswordStore::State::Damaged);
    (askOld ? txtOldPassword_ : txtNewPassword_)->setFocus();
}

void ChangePasswordDialog::showMessage(const QString& text) {
    lblMessage_->setText(text);
    lblMessage_->setVisible(!text.isEmpty());
}

void ChangePasswordDialog::wipeFields() {
    WipeLineEdit(*txtOldPassword_);
    WipeLineEdit(*txtNewPassword_);
    WipeLineEdit(*txtConfirmPassword_);
}

void ChangePasswordDialog::apply() {
    showMessage(QString());
    const bool changing = !txtOldPassword_->text().isEmpty() ||
                          !txtNewPassword_->text().isEmpty() ||
                          !txtConfirmPassword_->text().isEmpty();
    if (changing && !changePassword()) return;
    if (!applySwitch()) return;
    accept();
}

bool ChangePasswordDialog::changePassword() {
    const SecretBytes newPassword = SecretBytes::FromLineEdit(*txtNewPassword_);
    if (!newPassword.sameAs(SecretBytes::FromLineEdit(*txtConfirmPassword_))) {
        WipeLineEdit(*txtNewPassword_);
        WipeLineEdit(*txtConfirmPassword_);
        showMessage(
            QStringLiteral("新しいパスワードと確認のパスワードが一致しません。"
                           "もう一度入力してください。"));
        txtNewPassword_->setFocus();
        return false;
    }
    if (store_.state() == PasswordStore::State::Set &&
        !store_.verify(SecretBytes::FromLineEdit(*txtOldPassword_))) {
        WipeLineEdit(*txtOldPassword_);
        showMessage(QStringLiteral("古いパスワードが正しくありません。"));
        if (PauseDialog(this, delay_, kWrongPasswordDelayMs)) txtOldPassword_->setFocus();
        return false;
    }
    if (newPassword.isEmpty() && usePasswordChk_->isChecked()) {
        showMessage(
            QStringLiteral("パスワードで保護するには、新しいパスワードを入力してください。"));
        txtNewPassword_->setFocus();
        return false;
    }
    if (!store_.set(newPassword)) {
        showMessage(QStringLiteral("パスワードを保存できませんでした。"));
        return false;
    }
    // The password has changed: a retry after a failure below starts from the new one.
    wipeFields();
    refreshOldPasswordRow();
    return true;
}

bool ChangePasswordDialog::applySwitch() {
    const bool on = usePasswordChk_->isChecked();
    if (on && store_.state() != PasswordStore::State::Set) {
        showMessage(
            QStringLiteral("パスワードで保護するには、新しいパスワードを入力してください。"));
        txtNewPassword_->setFocus();
        return false;
    }
    if (on == usePassword_) return true;
    if (!writeSwitch_ || !writeSwitch_(on)) {
        showMessage(QStringLiteral("「パスワードで保護する」の設定を保存できませんでした。"));
        return false;
    }
    usePassword_ = on;
    return true;
}

void ChangePasswordDialog::done(int result) {
    wipeFields();
    QDialog::done(result);
}

}  // namespace tavello
