// The dialog's small controls driven by keyboard and mouse: the font-size box, the seconds label,
// the text boxes selecting their text, and the link labels.

#include "DialogTestKit.h"
#include "dialog/Form2Links.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace tavello::test {
namespace {

class ControlsTest : public DialogTest {
  protected:
    void SetUp() override {
        open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        size()->setFocus();
    }
    QComboBox* size() const { return control<QComboBox>("cmbFontsize"); }
    // Sends one key press with the character it types.
    void type(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
        QTest::sendKeyEvent(QTest::Press, size(), key, text, modifiers);
        QTest::sendKeyEvent(QTest::Release, size(), key, text, modifiers);
    }
    // Tabs out of the font-size box and lets the check that follows run.
    void leaveSizeBox() {
        QTest::keyClick(size(), Qt::Key_Tab);
        QCoreApplication::processEvents();
    }
};

TEST_F(ControlsTest, FontSizeTakesFourDigitsAtMostAndBackspace) {
    size()->setEditText("");
    QTest::keyClicks(size(), "12345");
    EXPECT_EQ(size()->currentText(), "1234");
    QTest::keyClick(size(), Qt::Key_Backspace);
    EXPECT_EQ(size()->currentText(), "123");
    QTest::keyClicks(size(), "4");
    size()->lineEdit()->selectAll();
    QTest::keyClicks(size(), "5");
    EXPECT_EQ(size()->currentText(), "1234") << "at four characters a selection does not help";
    QTest::keyClick(size(), Qt::Key_Backspace);
    EXPECT_EQ(size()->currentText(), "");
}

TEST_F(ControlsTest, FontSizeDiscardsEverythingButDigits) {
    size()->setEditText("");
    QTest::keyClicks(size(), "a -.+eZ");
    type(Qt::Key_unknown, QStringLiteral("１"));  // full-width digit
    type(Qt::Key_unknown, QStringLiteral("ア"));
    type(Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);  // paste by keyboard
    QTest::keyClick(size(), Qt::Key_Return);
    QTest::keyClick(size(), Qt::Key_Escape);
    EXPECT_EQ(size()->currentText(), "");
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("１２"));
    QCoreApplication::sendEvent(size(), &composed);
    EXPECT_EQ(size()->currentText(), "");
    QTest::keyClicks(size(), "7");
    EXPECT_EQ(size()->currentText(), "7");
    // Caret keys still work: Home then a digit puts it in front.
    QTest::keyClick(size(), Qt::Key_Home);
    QTest::keyClicks(size(), "2");
    EXPECT_EQ(size()->currentText(), "27");
}

TEST_F(ControlsTest, LeavingTheSizeBoxChecksTheRange) {
    const struct {
        const char* text;
        const char* after;  // nullptr: refused with the message
    } rows[] = {{"0", nullptr}, {"1639", nullptr}, {"", nullptr}, {"1638", "1638"},
                {"1", "1"},     {"0012", "12"},    {"048", "48"}, {"72", "72"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        messages_.shown.clear();
        size()->setFocus();
        size()->setEditText(QString::fromLatin1(row.text));
        leaveSizeBox();
        if (row.after) {
            EXPECT_TRUE(messages_.shown.empty());
            EXPECT_EQ(size()->currentText(), row.after);
            EXPECT_EQ(QApplication::focusWidget(), control("txtMidashi"));
        } else {
            ASSERT_EQ(messages_.shown.size(), 1u);
            EXPECT_EQ(messages_.shown[0].text, QStringLiteral("数値は 1 から 1638 までです。"));
            EXPECT_EQ(messages_.shown[0].icon, MsgIcon::Exclamation);
            EXPECT_EQ(size()->currentText(), row.text);
            EXPECT_TRUE(size()->hasFocus());
        }
    }
}

TEST_F(ControlsTest, OkDoesNotStoreASizeThatFailsTheCheck) {
    size()->setEditText("0");
    QTest::mouseClick(control("cmdOk"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_.shown.size(), 1u);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_FALSE(QFile::exists(settingsFile()));

    size()->setEditText("012");
    QTest::mouseClick(control("cmdOk"), Qt::LeftButton);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(readSettings().split('\n').value(2), QByteArray("12\r"));
}

TEST_F(ControlsTest, SecondsLabelFollowsTheSpeedBar) {
    auto* bar = control<QScrollBar>("hscSpeed");
    auto* label = control<QLabel>("lblSecond");
    for (int value : {1, 7, 10}) {
        bar->setValue(value);
        EXPECT_EQ(label->text(), QStringLiteral(" %1秒").arg(value));
    }
    EXPECT_EQ(label->text().at(0), QChar(u' '));
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_EQ(bar->value(), 9);
    EXPECT_EQ(label->text(), QStringLiteral(" 9秒"));
}

TEST_F(ControlsTest, EnteringATextBoxSelectsItsWholeText) {
    for (const char* name : {"txtMidashi", "txtMdata"}) {
        SCOPED_TRACE(name);
        auto* box = control<QLineEdit>(name);
        box->setText(QStringLiteral("見出しの文字"));
        control("RndChk")->setFocus();
        box->setFocus(Qt::OtherFocusReason);
        EXPECT_EQ(box->selectedText(), box->text());
        EXPECT_EQ(box->selectionStart(), 0);
        // Typing then replaces the whole text.
        QTest::keyClicks(box, "new");
        EXPECT_EQ(box->text(), "new");
    }
    control("cmbFontsize")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(control<QLineEdit>("txtMidashi")->selectedText(), "new");
}

// Several copied lines pasted into a one-line box would become several lines of the settings
// file, and every value after them would move.
TEST_F(ControlsTest, PastedLineBreaksStayOutOfTheBoxesAndTheFile) {
    const struct {
        const char* box;
        QString pasted;
        QString shown;
    } rows[] = {
        {"txtMidashi", "Hello\r\nWorld", "Hello World"},
        {"txtMidashi", "\r\nHello\r\rWorld\n", "Hello World"},
        {"txtMdata", "/music/a\r\nb.mp3", "/music/a b.mp3"},
        {"txtMdata", "/music/a.mp3\n", "/music/a.mp3"},
        {"txtMidashi", QStringLiteral("２０２６\t年 \"夏\"  "),
         QStringLiteral("２０２６\t年 \"夏\"  ")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.box) + ": " + row.pasted.toStdString());
        auto* box = control<QLineEdit>(row.box);
        box->setFocus();
        box->clear();
        QGuiApplication::clipboard()->setText(row.pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), row.shown);
    }
    // Pasting in the middle leaves the caret behind the pasted text.
    auto* headline = control<QLineEdit>("txtMidashi");
    headline->setText("AB");
    headline->setCursorPosition(1);
    QGuiApplication::clipboard()->setText("x\r\ny");
    headline->paste();
    EXPECT_EQ(headline->text(), "Ax yB");
    EXPECT_EQ(headline->cursorPosition(), 4);
    // The size box's key filter stops Ctrl+V; its context menu pastes all the same.
    size()->setEditText("");
    QGuiApplication::clipboard()->setText("48\r\n");
    size()->lineEdit()->paste();
    EXPECT_EQ(size()->currentText(), "48");

    QGuiApplication::clipboard()->setText("Hello\r\nWorld");
    headline->selectAll();
    headline->paste();
    control<QLineEdit>("txtMdata")->setText("/music/a\rb.mp3");
    form_->cmdOk_Click();
    EXPECT_EQ(readSettings(), CrLfLines({"5", QStringLiteral("ＭＳ Ｐゴシック"), "48", "100%",
                                         "/music/a b.mp3", "Hello World", "0"}));
}

TEST_F(ControlsTest, LinkLabelsOpenTheirCaptionThroughTheShell) {
    QTest::mouseClick(control("Label8"), Qt::LeftButton);
    QTest::mouseClick(control("Label9"), Qt::LeftButton);
    QTest::mouseClick(control("Label9"), Qt::RightButton);
    ASSERT_EQ(shell_.calls.size(), 2u);
    EXPECT_EQ(shell_.calls[0].operation, "open");
    EXPECT_EQ(shell_.calls[0].file, "mailto:" + ContactMailAddress());
    EXPECT_EQ(shell_.calls[1].file, HomePageAddress());
    for (const ShellCall& call : shell_.calls) {
        EXPECT_FALSE(call.hasParameters);
        EXPECT_EQ(call.directory, "");
        EXPECT_EQ(call.show, 5);
    }
    // The caption at the time of the click is what is opened.
    control<QLabel>("Label8")->setText("other@example.org");
    QTest::mouseClick(control("Label8"), Qt::LeftButton);
    EXPECT_EQ(shell_.calls.back().file, "mailto:other@example.org");
}

}  // namespace
}  // namespace tavello::test
