// "--add-to-xscreensaver" on real files: what it writes, what it keeps, what it refuses, and
// which command it names.
#include "startup/AddToXScreensaver.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

namespace tavello {
namespace {

const QByteArray kDefaults =
    "*programs:\t\\\n"
    "\t\tmaze --root \\n\\\n"
    "\t\tqix --root \\n\n";

const QByteArray kOwnList = "# mine\nprograms: \\\n  maze --root \\n\\\n\n";

TEST(AddToXScreensaver, WritesTheListOrSaysWhyNot) {
    test::TestDir dir;
    dir.write("app-defaults", kDefaults);
    const QString defaultsPaths[] = {dir.file("no-such-defaults"), dir.file("app-defaults")};
    struct Case {
        const char* name;
        std::function<QString()> prepare;  // makes the situation, returns the ~/.xscreensaver path
        bool ok;
        const char* said;  // a piece of the message
        std::function<void(const QString&)> check;
    } const cases[] = {
        {"missing: made from the defaults", [&] { return dir.file("home1/.xscreensaver"); }, true,
         "既定の一覧から作り",
         [&](const QString& path) {
             const QByteArray text = dir.read("home1/.xscreensaver");
             EXPECT_TRUE(text.contains("maze --root")) << path.toStdString();
             EXPECT_TRUE(text.contains("\"TAVELLO\" \ttavello --root"));
         }},
        {"own list, mode 0600 kept",
         [&] {
             dir.write("home2/.xscreensaver", kOwnList);
             QFile::setPermissions(dir.file("home2/.xscreensaver"),
                                   QFile::ReadOwner | QFile::WriteOwner);
             return dir.file("home2/.xscreensaver");
         },
         true, "TAVELLO（tavello --root）を加えました",
         [&](const QString& path) {
             const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
             EXPECT_EQ(QFile::permissions(path) & ~userBits, QFile::ReadOwner | QFile::WriteOwner);
             const QByteArray text = dir.read("home2/.xscreensaver");
             EXPECT_TRUE(text.startsWith(kOwnList.left(kOwnList.size() - 1)));
             EXPECT_FALSE(text.contains("qix"));  // the user's list, not the system's
         }},
        {"a symbolic link stays a link",
         [&] {
             dir.write("dotfiles/xscreensaver", kOwnList);
             QDir().mkpath(dir.file("home3"));
             QFile::link(dir.file("dotfiles/xscreensaver"), dir.file("home3/.xscreensaver"));
             return dir.file("home3/.xscreensaver");
         },
         true, "を加えました",
         [&](const QString& path) {
             EXPECT_TRUE(QFileInfo(path).isSymLink());
             EXPECT_TRUE(dir.read("dotfiles/xscreensaver").contains("tavello --root"));
         }},
        {"listed already: untouched",
         [&] {
             dir.write("home4/.xscreensaver", kOwnList + "programs: tavello --root\n");
             return dir.file("home4/.xscreensaver");
         },
         true, "もうあります",
         [&](const QString&) {
             EXPECT_EQ(dir.read("home4/.xscreensaver"), kOwnList + "programs: tavello --root\n");
         }},
        {"a folder in its place is refused",
         [&] {
             QDir().mkpath(dir.file("home5/.xscreensaver"));
             return dir.file("home5/.xscreensaver");
         },
         false, "を読めません", [&](const QString& path) { EXPECT_TRUE(QFileInfo(path).isDir()); }},
        {"a home that does not exist cannot be written",
         [&] { return dir.file("no-home/.xscreensaver"); }, false, "に書き込めません",
         [&](const QString& path) { EXPECT_FALSE(QFileInfo::exists(path)); }},
        {"no HOME", [] { return QString(); }, false, "HOME", [](const QString&) {}},
    };
    QDir().mkpath(dir.file("home1"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.prepare();
        const XScreensaverPaths paths{path, {defaultsPaths[0], defaultsPaths[1]}};
        const AddToXScreensaverReport report = AddToXScreensaver(paths, "tavello --root");
        EXPECT_EQ(report.ok, c.ok);
        EXPECT_TRUE(report.message.contains(QString::fromUtf8(c.said)))
            << report.message.toStdString();
        EXPECT_FALSE(report.message.contains(u'\n'));
        c.check(path);
    }
}

// xscreensaver finds a plain "tavello" on its PATH (with its folder of hacks in front); any other
// place needs the full path, quoted when it holds blanks.
TEST(AddToXScreensaver, NamesTheProgramAsXScreensaverWillFindIt) {
    test::TestDir dir;
    const QByteArray oldPath = qgetenv("PATH");
    for (const char* folder : {"bin", "my saver"}) {
        dir.write(QStringLiteral("%1/tavello").arg(QString::fromUtf8(folder)), "#!/bin/sh\n");
        QFile::setPermissions(dir.file(QStringLiteral("%1/tavello").arg(QString::fromUtf8(folder))),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString bin = dir.file("bin/tavello");
    const QString spaced = dir.file("my saver/tavello");
    struct Case {
        QString program;
        QByteArray path;
        QByteArray command;
    } const cases[] = {
        {bin, dir.file("bin").toLocal8Bit() + ":/usr/bin", "tavello --root"},
        {bin, "/usr/bin", bin.toLocal8Bit() + " --root"},
        {spaced, dir.file("bin").toLocal8Bit(), "'" + spaced.toLocal8Bit() + "' --root"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.constData());
        qputenv("PATH", c.path);
        EXPECT_EQ(HackCommand(c.program), c.command);
    }
    qputenv("PATH", oldPath);
}

}  // namespace
}  // namespace tavello
