#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "password/PasswordDialogs.h"
#include "password/PasswordProvider.h"
#include "password/PasswordStore.h"
#include "password/RegFile.h"
#include "password/SystemPassword.h"
#include "password/UserReg.h"
#include "support/TestDir.h"

namespace tavello {
namespace {

using State = PasswordStore::State;

SecretBytes Secret(const char* text) {
    return SecretBytes::FromUtf8(text);
}

QString StorePath(const test::TestDir& dir) {
    return QDir(dir.settingsFolder()).filePath(PasswordStore::FileName());
}

// Records every wait instead of waiting.
struct DelayLog {
    std::vector<int> calls;
    PasswordDelay delay() {
        return [this](int ms) { calls.push_back(ms); };
    }
};

template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) ADD_FAILURE() << "no control named " << name;
    return child;
}

// Types character by character, Japanese included (keyClicks only knows ASCII).
void Type(QWidget& dialog, const char* field, const char* text) {
    QLineEdit* edit = Child<QLineEdit>(dialog, field);
    for (const QChar ch : QString::fromUtf8(text))
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void Click(QWidget& dialog, const char* button) {
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

// Clicks the switch on its box (the widget is wider than what it draws).
void ToggleSwitch(QWidget& dialog) {
    auto* box = Child<QCheckBox>(dialog, "UsePasswordChk");
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

QString Message(QWidget& dialog) {
    QLabel* label = Child<QLabel>(dialog, "lblMessage");
    return label->isVisibleTo(&dialog) ? label->text() : QString();
}

// Runs `answer` on the modal dialog that the code under test is about to open.
void AnswerNextDialog(std::function<void(QDialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        answer(*dialog);
    });
    poll->start(5);
}

// --- The store ---

TEST(PasswordStore, VerifiesOnlyTheStoredPassword) {
    test::TestDir dir;
    PasswordStore store(StorePath(dir));
    EXPECT_EQ(store.state(), State::None);
    EXPECT_FALSE(store.verify(Secret("")));
    EXPECT_FALSE(store.verify(Secret("anything")));

    ASSERT_TRUE(store.set(Secret("合言葉 pass1")));
    EXPECT_EQ(store.state(), State::Set);
    const struct {
        const char* attempt;
        bool right;
    } cases[] = {
        {"合言葉 pass1", true},
        {"合言葉 Pass1", false},
        {"合言葉 pass", false},
        {"合言葉 pass1 ", false},
        {"", false},
        {"合言葉　pass1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attempt);
        EXPECT_EQ(store.verify(Secret(c.attempt)), c.right);
    }
}

TEST(PasswordStore, EmptyPasswordOrClearRemovesIt) {
    test::TestDir dir;
    PasswordStore store(StorePath(dir));
    ASSERT_TRUE(store.set(Secret("first")));
    ASSERT_TRUE(store.set(Secret("")));
    EXPECT_EQ(store.state(), State::None);
    EXPECT_FALSE(QFile::exists(store.filePath()));

    ASSERT_TRUE(store.set(Secret("second")));
    ASSERT_TRUE(store.clear());
    EXPECT_EQ(store.state(), State::None);
    EXPECT_TRUE(store.clear()) << "clearing nothing is no failure";
}

TEST(PasswordStore, FileIsOwnerOnlyAndHoldsNoPlaintext) {
    test::TestDir dir;
    const QString path = StorePath(dir);
    // An earlier file readable by everyone must not pass its mode on to the replacement.
    dir.write(path, "old");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ReadOther);
    PasswordStore store(path);
    const char* password = "Tr0ub4dor&3-secret";
    ASSERT_TRUE(store.set(Secret(password)));

    EXPECT_EQ((QFileInfo(path).permissions() & 0x0777).toInt(),
              (QFileDevice::ReadUser | QFileDevice::WriteUser).toInt());
    const QByteArray onDisk = dir.read(path);
    EXPECT_TRUE(onDisk.startsWith("$argon2id$")) << onDisk.constData();
    EXPECT_FALSE(onDisk.contains(password));
    EXPECT_FALSE(onDisk.contains("secret"));
    EXPECT_FALSE(onDisk.toBase64().contains(QByteArray(password).toBase64()));
    // Nothing but the file itself is left in the folder (no stray temporary copy).
    EXPECT_EQ(QDir(dir.settingsFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{PasswordStore::FileName()});
}

TEST(PasswordStore, CreatesAMissingFolderForItsOwnerOnly) {
    test::TestDir dir;
    const QString path = dir.file("a/b/" + PasswordStore::FileName());
    PasswordStore store(path);
    ASSERT_TRUE(store.set(Secret("x")));
    const auto mode = QFileInfo(dir.file("a/b")).permissions();
    EXPECT_EQ((mode & (QFileDevice::ReadGroup | QFileDevice::ReadOther)).toInt(), 0);
    EXPECT_TRUE(store.verify(Secret("x")));
}

TEST(PasswordStore, DamagedFileNeverMatchesAndCanBeReplaced) {
    const QByteArray hugeCost =
        "$argon2id$v=19$m=4194304,t=2,p=1$c29tZXNhbHRzb21lc2FsdA$"
        "aGFzaGhhc2hoYXNoaGFzaGhhc2hoYXNoaGFzaGhhc2g";
    const QByteArray other = "$2y$10$abcdefghijklmnopqrstuuEdn3XQ5yrOdCJoQbqmsPFwv.QV4o2y";
    for (const QByteArray& content :
         {QByteArray(), QByteArray("garbage\n"), hugeCost, other, QByteArray(4096, 'A')}) {
        SCOPED_TRACE(content.left(40).constData());
        test::TestDir dir;
        const QString path = StorePath(dir);
        dir.write(path, content);
        PasswordStore store(path);
        EXPECT_EQ(store.state(), State::Damaged);
        EXPECT_TRUE(store.isSet());
        EXPECT_FALSE(store.verify(Secret("")));
        EXPECT_FALSE(store.verify(Secret("garbage")));
        ASSERT_TRUE(store.set(Secret("fresh")));
        EXPECT_EQ(store.state(), State::Set);
        EXPECT_TRUE(store.verify(Secret("fresh")));
    }
}

TEST(PasswordStore, UnwritablePlaceFailsWithoutHarm) {
    test::TestDir dir;
    const QString path = StorePath(dir);
    ASSERT_TRUE(QDir().mkpath(path));  // a folder where the file should be
    PasswordStore store(path);
    EXPECT_EQ(store.state(), State::Damaged);
    EXPECT_FALSE(store.set(Secret("x")));
    EXPECT_FALSE(store.clear());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// A FIFO, a device or a folder where the password file belongs is a password that cannot be
// read: it never matches, reading it never waits, and no write goes through it.
TEST(PasswordStore, WhatIsNotARegularFileNeverMatchesNorWaits) {
    const struct {
        const char* what;
        std::function<void(const test::TestDir&, const QString&)> make;
        bool tryWrites;  // never where a write could reach a device
        bool clearable;
    } cases[] = {
        {"fifo",
         [](const test::TestDir&, const QString& at) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(at).constData(), 0600), 0);
         },
         true, true},
        {"link to a fifo",
         [](const test::TestDir& dir, const QString& at) {
             ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("elsewhere")).constData(), 0600), 0);
             ASSERT_TRUE(QFile::link(dir.file("elsewhere"), at));
         },
         true, true},
        {"folder", [](const test::TestDir&, const QString& at) { ASSERT_TRUE(QDir().mkpath(at)); },
         true, false},
        {"device",
         [](const test::TestDir&, const QString& at) { ASSERT_TRUE(QFile::link("/dev/zero", at)); },
         false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestDir dir;
        ASSERT_TRUE(QDir().mkpath(dir.settingsFolder()));
        const QString path = StorePath(dir);
        c.make(dir, path);
        PasswordStore store(path);
        EXPECT_EQ(store.state(), State::Damaged);
        EXPECT_FALSE(store.verify(Secret("")));
        if (!c.tryWrites) continue;
        EXPECT_FALSE(store.set(Secret("x")));
        EXPECT_EQ(store.state(), State::Damaged) << "left as it was";
        EXPECT_EQ(store.clear(), c.clearable);
        EXPECT_EQ(store.state(), c.clearable ? State::None : State::Damaged);
    }
}

TEST(SecretBytes, ComparesAndWipes) {
    EXPECT_TRUE(Secret("abc").sameAs(Secret("abc")));
    EXPECT_FALSE(Secret("abc").sameAs(Secret("abd")));
    EXPECT_FALSE(Secret("abc").sameAs(Secret("abcd")));
    EXPECT_TRUE(Secret("").sameAs(Secret("")));

    SecretBytes secret = SecretBytes::FromString(QStringLiteral("パス"));
    EXPECT_EQ(QByteArray(secret.data(), secret.size()), QStringLiteral("パス").toUtf8());

    QLineEdit edit;
    edit.setText(QStringLiteral("pw"));
    EXPECT_EQ(QByteArray(SecretBytes::FromLineEdit(edit).data()), "pw");
    WipeLineEdit(edit);
    EXPECT_TRUE(edit.text().isEmpty());
    EXPECT_FALSE(edit.isUndoAvailable());
}

// --- The verify dialog ---

TEST(VerifyPasswordDialog, AcceptsOnlyTheRightPassword) {
    test::TestDir dir;
    PasswordStore store(StorePath(dir));
    ASSERT_TRUE(store.set(Secret("ひみつ7")));
    const struct {
        const char* typed;
        bool pressEnter;
        bool accepted;
    } cases[] = {
        {"ひみつ7", false, true}, {"ひみつ7", true, true},  {"ひみつ", false, false},
        {"", false, false},       {"ひみつ8", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        DelayLog log;
        VerifyPasswordDialog dialog(store);
        dialog.setDelay(log.delay());
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("スクリーンセーバーのパスワード"));
        dialog.show();
        Type(dialog, "txtPassword", c.typed);
        if (c.pressEnter)
            QTest::keyClick(Child<QLineEdit>(dialog, "txtPassword"), Qt::Key_Return);
        else
            Click(dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), c.accepted ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(log.calls, c.accepted ? std::vector<int>{} : std::vector<int>{1000});
        EXPECT_EQ(Message(dialog),
                  c.accepted ? QString() : QStringLiteral("パスワードが正しくありません。"));
        EXPECT_TRUE(Child<QLineEdit>(dialog, "txtPassword")->text().isEmpty());
    }
}

TEST(VerifyPasswordDialog, CancelEscapeAndIdleTimeoutReject) {
    test::TestDir dir;
    PasswordStore store(StorePath(dir));
    ASSERT_TRUE(store.set(Secret("pw")));
    const std::function<void(VerifyPasswordDialog&)> endings[] = {
        [](VerifyPasswordDialog& d) { Click(d, "cmdCancel"); },
        [](VerifyPasswordDialog& d) {
            QTest::keyClick(Child<QLineEdit>(d, "txtPassword"), Qt::Key_Escape);
        },
        [](VerifyPasswordDialog& d) {
            d.setIdleTimeout(1);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !d.isVisible(); }, 5000));
        },
    };
    for (const auto& end : endings) {
        DelayLog log;
        VerifyPasswordDialog dialog(store);
        dialog.setDelay(log.delay());
        dialog.show();
        Type(dialog, "txtPassword", "pw");
        end(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(log.calls.empty());
    }
}

// --- The change dialog ---

struct ChangeCase {
    const char* name;
    const char* stored;  // nullptr: no password stored
    bool switchBefore;
    const char* oldPw;
    const char* newPw;
    const char* confirm;
    bool switchAfter;
    bool writerWorks;
    // Expected:
    bool closes;
    const char* messageStart;  // "" when no message
    const char* storedAfter;   // nullptr: no password stored afterwards
    std::vector<bool> writes;
    std::vector<int> delays;
};

const char* const kMismatch = "新しいパスワードと確認のパスワードが一致しません。";
const char* const kWrongOld = "古いパスワードが正しくありません。";
const char* const kNeedPassword = "パスワードで保護するには、新しいパスワードを入力してください。";
const char* const kSwitchFailed = "「パスワードで保護する」の設定を保存できませんでした。";

// clang-format off
const ChangeCase kChangeCases[] = {
    // name, stored, switch before, old, new, confirm, switch after, writer works,
    //   closes, message, stored after, switch writes, delays
    {"first password and switch on", nullptr, false, "", "abc", "abc", true, true,
        true, "", "abc", {true}, {}},
    {"confirm differs", nullptr, false, "", "abc", "abd", true, true,
        false, kMismatch, nullptr, {}, {}},
    {"wrong old password", "old", true, "wrong", "n1", "n1", true, true,
        false, kWrongOld, "old", {}, {1000}},
    {"empty old password", "old", true, "", "n1", "n1", true, true,
        false, kWrongOld, "old", {}, {1000}},
    {"right old password", "old", true, "old", "n1", "n1", true, true,
        true, "", "n1", {}, {}},
    {"switch only, off", "old", true, "", "", "", false, true,
        true, "", "old", {false}, {}},
    {"switch on without any password", nullptr, false, "", "", "", true, true,
        false, kNeedPassword, nullptr, {}, {}},
    {"remove password, switch off", "old", true, "old", "", "", false, true,
        true, "", nullptr, {false}, {}},
    {"remove password, switch left on", "old", true, "old", "", "", true, true,
        false, kNeedPassword, "old", {}, {}},
    {"switch cannot be stored", nullptr, false, "", "abc", "abc", true, false,
        false, kSwitchFailed, "abc", {true}, {}},
};
// clang-format on

TEST(ChangePasswordDialog, AppliesOrRefusesWithAReason) {
    for (const ChangeCase& c : kChangeCases) {
        SCOPED_TRACE(c.name);
        test::TestDir dir;
        PasswordStore store(StorePath(dir));
        if (c.stored) {
            ASSERT_TRUE(store.set(Secret(c.stored)));
        }
        std::vector<bool> writes;
        DelayLog log;
        ChangePasswordDialog dialog(store, c.switchBefore, [&](bool on) {
            writes.push_back(on);
            return c.writerWorks;
        });
        dialog.setDelay(log.delay());
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("パスワードの変更"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtOldPassword")->isVisible(), c.stored != nullptr);
        auto* useSwitch = Child<QCheckBox>(dialog, "UsePasswordChk");
        EXPECT_EQ(useSwitch->text(), QStringLiteral("パスワードで保護する"));
        EXPECT_EQ(useSwitch->isChecked(), c.switchBefore);
        if (useSwitch->isChecked() != c.switchAfter) ToggleSwitch(dialog);
        ASSERT_EQ(useSwitch->isChecked(), c.switchAfter);
        Type(dialog, "txtOldPassword", c.oldPw);
        Type(dialog, "txtNewPassword", c.newPw);
        Type(dialog, "txtConfirmPassword", c.confirm);
        Click(dialog, "cmdOK");

        EXPECT_EQ(!dialog.isVisible(), c.closes);
        const QString message = Message(dialog);
        if (*c.messageStart == '\0')
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
        else
            EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.messageStart)))
                << message.toStdString();
        EXPECT_EQ(writes, c.writes);
        EXPECT_EQ(log.calls, c.delays);
        if (c.storedAfter) {
            EXPECT_TRUE(store.verify(Secret(c.storedAfter)));
        } else {
            EXPECT_EQ(store.state(), State::None);
        }
        EXPECT_TRUE(dialog.isEnabled());
    }
}

TEST(ChangePasswordDialog, RetryAfterAFailedSwitchAsksForTheNewPassword) {
    test::TestDir dir;
    PasswordStore store(StorePath(dir));
    bool writerWorks = false;
    std::vector<bool> writes;
    ChangePasswordDialog dialog(store, false, [&](bool on) {
        writes.push_back(on);
        return writerWorks;
    });
    dialog.show();
    ToggleSwitch(dialog);
    Type(dialog, "txtNewPassword", "abc");
    Type(dialog, "txtConfirmPassword", "abc");
    Click(dialog, "cmdOK");
    ASSERT_TRUE(dialog.isVisible());
    // The password is in place now, so the dialog asks for it as the old one.
    EXPECT_TRUE(Child<QLineEdit>(dialog, "txtOldPassword")->isVisible());
    EXPECT_TRUE(Child<QLineEdit>(dialog, "txtNewPassword")->text().isEmpty());
    writerWorks = true;
    Click(dialog, "cmdOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(writes, (std::vector<bool>{true, true}));
    EXPECT_TRUE(store.verify(Secret("abc")));
}

// --- The provider, as the program calls it ---

PasswordProviderParts FakeParts(const test::TestDir& dir, DelayLog& log, bool switchOn,
                                std::vector<bool>* writes) {
    PasswordProviderParts parts;
    const QString path = StorePath(dir);
    parts.storePath = [path] { return path; };
    parts.readUsePassword = [switchOn] { return switchOn; };
    parts.writeUsePassword = [writes](bool on) {
        writes->push_back(on);
        return true;
    };
    parts.delay = log.delay();
    return parts;
}

TEST(PasswordProvider, VerifyAnswersForTheShow) {
    test::TestDir dir;
    DelayLog log;
    std::vector<bool> writes;
    PasswordProvider provider(FakeParts(dir, log, true, &writes));
    QWidget window;
    window.show();

    // Switch on but nothing stored: nothing to ask, the show may end.
    EXPECT_EQ(provider.VerifyScreenSavePwd(&window), 1);

    ASSERT_TRUE(PasswordStore(StorePath(dir)).set(Secret("pw")));
    const struct {
        const char* typed;
        const char* button;
        std::int32_t result;
    } cases[] = {{"pw", "cmdOK", 1}, {"bad", "cmdOK", 0}, {"pw", "cmdCancel", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QWidget* parent = nullptr;
        AnswerNextDialog([&](QDialog& d) {
            parent = d.parentWidget();
            Type(d, "txtPassword", c.typed);
            Click(d, c.button);
        });
        EXPECT_EQ(provider.VerifyScreenSavePwd(&window), c.result);
        EXPECT_EQ(parent, &window);
    }
}

TEST(PasswordProvider, ChangeRunsTheDialogForScreenSaverOnly) {
    test::TestDir dir;
    DelayLog log;
    std::vector<bool> writes;
    PasswordProvider provider(FakeParts(dir, log, false, &writes));

    EXPECT_EQ(provider.PwdChangePasswordA(QStringLiteral("MSNP32"), 0, 0, 0), kPwdBadProvider);

    AnswerNextDialog([](QDialog& d) {
        Type(d, "txtNewPassword", "abc");
        Type(d, "txtConfirmPassword", "abc");
        Click(d, "cmdCancel");
    });
    EXPECT_EQ(provider.PwdChangePasswordA(QStringLiteral("SCRSAVE"), 1234, 0, 0), kPwdCancelled);
    EXPECT_EQ(PasswordStore(StorePath(dir)).state(), State::None);

    AnswerNextDialog([](QDialog& d) {
        ToggleSwitch(d);
        Type(d, "txtNewPassword", "abc");
        Type(d, "txtConfirmPassword", "abc");
        Click(d, "cmdOK");
    });
    EXPECT_EQ(provider.PwdChangePasswordA(QStringLiteral("scrsave"), 0, 0, 0), kPwdNoError);
    EXPECT_TRUE(PasswordStore(StorePath(dir)).verify(Secret("abc")));
    EXPECT_EQ(writes, std::vector<bool>{true});
}

TEST(PasswordProvider, DamagedFileRefusesUntilReplaced) {
    test::TestDir dir;
    DelayLog log;
    std::vector<bool> writes;
    PasswordProvider provider(FakeParts(dir, log, true, &writes));
    dir.write(StorePath(dir), "not a hash\n");

    AnswerNextDialog([](QDialog& d) { Click(d, "cmdOK"); });
    EXPECT_EQ(provider.VerifyScreenSavePwd(nullptr), 0);

    AnswerNextDialog([](QDialog& d) {
        EXPECT_FALSE(Child<QLineEdit>(d, "txtOldPassword")->isVisible());
        EXPECT_TRUE(Child<QLabel>(d, "lblDamaged")->isVisible());
        Type(d, "txtNewPassword", "n");
        Type(d, "txtConfirmPassword", "n");
        Click(d, "cmdOK");
    });
    EXPECT_EQ(provider.PwdChangePasswordA(QStringLiteral("SCRSAVE"), 0, 0, 0), kPwdNoError);
    AnswerNextDialog([](QDialog& d) {
        Type(d, "txtPassword", "n");
        Click(d, "cmdOK");
    });
    EXPECT_EQ(provider.VerifyScreenSavePwd(nullptr), 1);
}

// The real provider: the switch goes to user.reg and is read back from it.
std::optional<QByteArray> StoredSwitch() {
    const std::optional<RegValue> value =
        RegFile::Parse(ReadUserRegText())
            .value(QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\desktop"),
                   QStringLiteral("ScreenSaveUsePassword"));
    if (!value) return std::nullopt;
    return value->data;
}

TEST(SystemPassword, SwitchIsWrittenToTheDesktopSettings) {
    test::TestDir dir;
    EXPECT_FALSE(StoredSwitch().has_value());

    AnswerNextDialog([](QDialog& d) {
        EXPECT_FALSE(Child<QCheckBox>(d, "UsePasswordChk")->isChecked());
        ToggleSwitch(d);
        Type(d, "txtNewPassword", "abc");
        Type(d, "txtConfirmPassword", "abc");
        Click(d, "cmdOK");
    });
    EXPECT_EQ(SystemPassword().PwdChangePasswordA(QStringLiteral("SCRSAVE"), 0, 0, 0), 0);
    EXPECT_EQ(StoredSwitch(), QByteArray("\x01\0\0\0", 4));
    EXPECT_TRUE(ReadScreenSaveUsePassword());
    const QString file = QDir(dir.settingsFolder()).filePath(PasswordStore::FileName());
    EXPECT_TRUE(PasswordStore(file).verify(Secret("abc")));
    EXPECT_EQ((QFileInfo(file).permissions() & 0x0777).toInt(),
              (QFileDevice::ReadUser | QFileDevice::WriteUser).toInt());

    AnswerNextDialog([](QDialog& d) {
        EXPECT_TRUE(Child<QCheckBox>(d, "UsePasswordChk")->isChecked());
        ToggleSwitch(d);
        Click(d, "cmdOK");
    });
    EXPECT_EQ(SystemPassword().PwdChangePasswordA(QStringLiteral("SCRSAVE"), 0, 0, 0), 0);
    EXPECT_EQ(StoredSwitch(), QByteArray("\0\0\0\0", 4));
    EXPECT_FALSE(ReadScreenSaveUsePassword());
    EXPECT_TRUE(PasswordStore(file).verify(Secret("abc")));
}

}  // namespace
}  // namespace tavello
