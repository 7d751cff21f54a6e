// The dialog's small controls: the font-size box's filter and range check, the seconds label,
// the text boxes that keep to one line and select their text on entry, and the two link labels.

#include "dialog/FirstPictureSearch.h"
#include "dialog/FontSizeRules.h"
#include "dialog/Form2.h"
#include "dialog/OneLineValidator.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "toolkit/AutoSizeLabel.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace tavello {
namespace {

// Keys that move the caret or the focus rather than type a character; the key filter leaves them
// to the box, as the classic key-press event never saw them.
bool IsMovementKey(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Delete:
        case Qt::Key_Insert:
            return true;
        default:
            return false;
    }
}

// The character code a key press would deliver: 8 for Backspace, the typed character otherwise,
// -1 for keys that type nothing.
int KeyAsciiOf(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace) return kBackspaceKey;
    const QString text = event->text();
    if (text.isEmpty()) return -1;
    // More than one character at once (a composed sequence) is never a single digit.
    return text.size() == 1 ? text.at(0).unicode() : 0xFFFF;
}

// The Menu key or Shift+F10, the keyboard's ways to a context menu.
bool IsContextMenuKey(const QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return (event->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

bool IsClick(const QEvent* event, const QWidget* widget) {
    if (event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton &&
           widget->rect().contains(mouse->position().toPoint());
}

}  // namespace

void Form2::WireHandlers() {
    connect(cmdOk, &QPushButton::clicked, this, &Form2::cmdOk_Click);
    connect(btnCancel, &QPushButton::clicked, this, &Form2::btnCancel_Click);
    connect(btnPic, &QPushButton::clicked, this, &Form2::btnPic_Click);
    connect(btnDel, &QPushButton::clicked, this, &Form2::btnDel_Click);
    connect(btnMdata, &QPushButton::clicked, this, &Form2::btnMdata_Click);
    connect(lstPic, &QListWidget::itemSelectionChanged, this, &Form2::lstPic_Click);
    connect(firstPicture_.get(), &FirstPictureSearch::found, this, &Form2::FirstPictureFound);
    connect(lstPic, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowListMenu(lstPic->viewport()->mapToGlobal(pos)); });
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    connect(hscSpeed, &QScrollBar::valueChanged, this, &Form2::hscSpeed_Change);

    // A paste of several lines must not reach the settings file as several lines.
    auto* oneLine = new OneLineValidator(this);
    for (QLineEdit* box : {txtMidashi, txtMdata, cmbFontsize->lineEdit()})
        box->setValidator(oneLine);

    cmbFontsize->installEventFilter(this);
    // Characters from an input method are never digits the box takes.
    cmbFontsize->setAttribute(Qt::WA_InputMethodEnabled, false);
    cmbFontsize->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    cmbFontsize->lineEdit()->setAcceptDrops(false);
    for (QObject* watched :
         {static_cast<QObject*>(txtMdata), static_cast<QObject*>(txtMidashi),
          static_cast<QObject*>(Label8), static_cast<QObject*>(Label9),
          static_cast<QObject*>(lstPic), static_cast<QObject*>(lstPic->viewport())})
        watched->installEventFilter(this);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmbFontsize) {
        if (event->type() == QEvent::KeyPress)
            return cmbFontsize_KeyPress(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::InputMethod) return true;
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Opening the drop-down list or switching to another window does not leave the box.
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
                !fontSizeCheckPending_) {
                // The check runs once the focus has settled; OK runs it first if it is still due.
                fontSizeCheckPending_ = true;
                QTimer::singleShot(0, this, [this] { RunPendingFontSizeCheck(); });
            }
        }
        return false;
    }
    if ((watched == txtMdata || watched == txtMidashi) && event->type() == QEvent::FocusIn) {
        SelectAllText(static_cast<QLineEdit*>(watched));
        return false;
    }
    if (watched == lstPic && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsContextMenuKey(key)) return lstPic_KeyDown(key);
        ShowListMenuFromKeyboard();
        return true;
    }
    if (watched == lstPic->viewport()) return lstPic_DragDrop(event);
    if (watched == Label8 && IsClick(event, Label8)) Label8_Click();
    if (watched == Label9 && IsClick(event, Label9)) Label9_Click();
    return QWidget::eventFilter(watched, event);
}

bool Form2::cmbFontsize_KeyPress(QKeyEvent* event) {
    if (IsMovementKey(event->key())) return false;
    const int keyAscii = KeyAsciiOf(event);
    if (keyAscii < 0) return false;
    // Discarded keys are swallowed here, before the box sees them.
    return FilterFontSizeKey(cmbFontsize->currentText(), keyAscii) == 0;
}

bool Form2::RunPendingFontSizeCheck() {
    if (!fontSizeCheckPending_) return true;
    fontSizeCheckPending_ = false;
    // The dialog may have been closed in the meantime.
    if (!isVisible()) return true;
    return cmbFontsize_LostFocus();
}

bool Form2::cmbFontsize_LostFocus() {
    const std::optional<QString> normal = CheckFontSizeOnLeave(cmbFontsize->currentText());
    if (!normal) {
        services_.messageBox->MsgBox(this, QStringLiteral("数値は 1 から 1638 までです。"),
                                     MsgIcon::Exclamation);
        // The click that took the focus away must not go through once the message is closed.
        ReleasePressedButtons();
        cmbFontsize->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (cmbFontsize->currentText() != *normal) cmbFontsize->setEditText(*normal);
    return true;
}

void Form2::ReleasePressedButtons() {
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->isDown()) button->setDown(false);
}

void Form2::hscSpeed_Change() {
    lblSecond->setText(SecondsCaption(hscSpeed->value()));
}

void Form2::SelectAllText(QLineEdit* box) {
    box->setSelection(0, int(box->text().size()));
}

void Form2::OpenLink(const QString& file) {
    // A missing mail program or browser is not reported.
    services_.shell->ShellExecuteA(GetDesktopWindow(), QStringLiteral("open"), file, nullptr,
                                   QString(), SW_SHOW);
}

void Form2::Label8_Click() {
    OpenLink(QStringLiteral("mailto:") + Label8->caption());
}

void Form2::Label9_Click() {
    OpenLink(Label9->caption());
}

}  // namespace tavello
