// "--add-to-xscreensaver" on real files: what it writes, what it keeps, what it refuses, and
// which command it names.
#include "host/AddToXScreensaver.h"
#include "support/TestDir.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
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

// The words of the command that xscreensaver runs for the entry named TAVELLO, read back as
// xscreensaver reads the file: stored lines joined at backslash-newline, the last "programs:"
// setting taken, its backslash escapes decoded ("\\" one backslash, "\n" a line break), one entry
// a line, "-" and the quoted name before the command; then the shell splits the command.
QStringList TavelloAsRun(const QByteArray& text) {
    QByteArray joined = text;
    joined.replace("\\\n", "");
    QByteArray value;
    for (const QByteArray& line : joined.split('\n')) {
        const QByteArray s = line.trimmed();
        const qsizetype colon = s.indexOf(':');
        if (colon > 0 && !s.startsWith('#') && s.left(colon).toLower() == "programs")
            value = s.mid(colon + 1);
    }
    QByteArray decoded;
    for (qsizetype i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            c = value[++i];
            if (c == 'n') c = '\n';
        }
        decoded += c;
    }
    for (QByteArray entry : decoded.split('\n')) {
        entry = entry.trimmed();
        if (entry.startsWith('-')) entry = entry.mid(1).trimmed();
        if (!entry.startsWith("\"TAVELLO\"")) continue;
        QProcess shell;
        shell.start("/bin/sh", {"-c", "set -- " + QString::fromLocal8Bit(entry.mid(9)) +
                                          "\nprintf '%s\\0' \"$@\""});
        shell.waitForFinished();
        QStringList words = QString::fromLocal8Bit(shell.readAllStandardOutput()).split(u'\0');
        words.removeLast();
        return words;
    }
    return {};
}

struct Owner {
    uid_t uid;
    gid_t gid;
    mode_t mode;
};

Owner OwnerOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return {st.st_uid, st.st_gid, st.st_mode & 07777};
}

void Own(const QString& path, uid_t uid, gid_t gid, mode_t mode) {
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid, gid), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// A program file at dir/folder/tavello, for the command that names it by its full path.
QString ProgramIn(const test::TestDir& dir, const QString& folder) {
    const QString path = dir.file(folder + QStringLiteral("/tavello"));
    dir.write(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFileInfo(path).canonicalFilePath();
}

// Hostile files and paths: another user's file behind a link, a file edited as root for its
// owner, a huge list, quotes, backslashes and line breaks in the program's path, and a file that
// another program saves while the edit runs.
TEST(AddToXScreensaver, HostileFilesAndPathsAreEditedSafelyOrRefused) {
    test::TestDir dir;
    dir.write("app-defaults", kDefaults);
    const bool root = ::geteuid() == 0;
    const uid_t them = 4242;  // the home's owner when run as root; needs no entry of its own
    const gid_t theirGroup = 4343;
    QByteArray endless = "programs: \\\n";
    for (int i = 0; i < 100000; ++i) endless += "  maze --root \\\n";
    endless += "  --level 3\n";
    const QString quoted = ProgramIn(dir, QStringLiteral("it's mine"));
    const QString backslashed = ProgramIn(dir, QStringLiteral("C:\\new\\saver"));
    const QString broken = ProgramIn(dir, QStringLiteral("two\nlines"));
    int saves = 0;  // the other program's saves so far
    const auto saveAnother = [&](const QString& path, int times) {
        return [&saves, path, times] {
            if (saves >= times) return;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write(QByteArray("timeout: 0:0") + QByteArray::number(++saves) + ":00\n");
        };
    };
    const QStringList plain = {QStringLiteral("tavello"), QStringLiteral("--root")};
    struct Case {
        const char* name;
        bool needsRoot;
        QString home;                      // made (as the other user's, as root) before the run
        std::function<void()> prepare;     // the files in it
        QString program;                   // the program named by its full path; "" for "tavello"
        std::function<void()> duringEdit;  // another program at work just before the replace
        bool ok;
        const char* said;
        std::function<void(const QString&)> check;  // given the path of ~/.xscreensaver
    } const cases[] = {
        {"a link to another user's file is not written through",
         true,
         dir.file("h1"),
         [&] {
             dir.write("passwd", "root:x:0:0:root:/root:/bin/bash\n");
             Own(dir.file("passwd"), 0, 42, 0640);
             QFile::link(dir.file("passwd"), dir.file("h1/.xscreensaver"));
         },
         {},
         {},
         false,
         "のファイルではない",
         [&](const QString& path) {
             EXPECT_TRUE(QFileInfo(path).isSymLink());
             EXPECT_EQ(dir.read("passwd"), "root:x:0:0:root:/root:/bin/bash\n");
             const Owner kept = OwnerOf(dir.file("passwd"));
             EXPECT_EQ(kept.gid, 42u);
             EXPECT_EQ(kept.mode, 0640u);
         }},
        {"edited as root: owner, group and a 0444 mode kept",
         true,
         dir.file("h2"),
         [&] {
             dir.write("h2/.xscreensaver", kOwnList);
             Own(dir.file("h2/.xscreensaver"), them, theirGroup, 0444);
         },
         {},
         {},
         true,
         "を加えました",
         [&](const QString& path) {
             const Owner kept = OwnerOf(path);
             EXPECT_EQ(kept.uid, them);
             EXPECT_EQ(kept.gid, theirGroup);
             EXPECT_EQ(kept.mode, 0444u);
             EXPECT_EQ(TavelloAsRun(dir.read(path)), plain);
         }},
        {"made as root: the home owner's file",
         true,
         dir.file("h3"),
         [] {},
         {},
         {},
         true,
         "既定の一覧から作り",
         [&](const QString& path) {
             EXPECT_EQ(OwnerOf(path).uid, them);
             EXPECT_EQ(TavelloAsRun(dir.read(path)), plain);
         }},
        {"100,000 stored lines that never end an entry",
         false,
         dir.file("h4"),
         [&] { dir.write("h4/.xscreensaver", endless); },
         {},
         {},
         true,
         "を加えました",
         [&](const QString& path) {
             const QByteArray text = dir.read(path);
             // Inserted after the first stored line, the only place where no entry is split.
             const qsizetype first = endless.indexOf('\n') + 1;
             EXPECT_TRUE(text.startsWith(endless.left(first)));
             EXPECT_TRUE(text.endsWith(endless.mid(first)));
             EXPECT_EQ(TavelloAsRun(text), plain);
         }},
        {"a quote in the program's path",
         false,
         dir.file("h5"),
         [] {},
         quoted,
         {},
         true,
         "既定の一覧から作り",
         [&](const QString& path) {
             EXPECT_EQ(TavelloAsRun(dir.read(path)), QStringList({quoted, "--root"}));
         }},
        {"backslashes in the program's path",
         false,
         dir.file("h6"),
         [] {},
         backslashed,
         {},
         true,
         "既定の一覧から作り",
         [&](const QString& path) {
             EXPECT_EQ(TavelloAsRun(dir.read(path)), QStringList({backslashed, "--root"}));
         }},
        {"a line break in the program's path",
         false,
         dir.file("h7"),
         [&] { dir.write("h7/.xscreensaver", kOwnList); },
         broken,
         {},
         false,
         "改行",
         [&](const QString& path) { EXPECT_EQ(dir.read(path), kOwnList); }},
        {"saved by another program during the edit: read again",
         false,
         dir.file("h8"),
         [&] { dir.write("h8/.xscreensaver", kOwnList); },
         {},
         saveAnother(dir.file("h8/.xscreensaver"), 1),
         true,
         "を加えました",
         [&](const QString& path) {
             const QByteArray text = dir.read(path);
             EXPECT_TRUE(text.contains("timeout: 0:01:00\n"));  // the other program's save
             EXPECT_EQ(TavelloAsRun(text), plain);
         }},
        {"saved again on every try: refused",
         false,
         dir.file("h9"),
         [&] { dir.write("h9/.xscreensaver", kOwnList); },
         {},
         saveAnother(dir.file("h9/.xscreensaver"), 1000),
         false,
         "何度も",
         [&](const QString& path) {
             const QByteArray text = dir.read(path);
             EXPECT_TRUE(text.endsWith("timeout: 0:0" + QByteArray::number(saves) + ":00\n"));
             EXPECT_TRUE(TavelloAsRun(text).isEmpty());
         }},
    };
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", "/usr/bin:/bin");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && !root) {
            std::printf("skipped, needs root: %s\n", c.name);
            continue;
        }
        QDir().mkpath(c.home);
        if (root) Own(c.home, them, theirGroup, 0755);
        c.prepare();
        saves = 0;
        const QString path = c.home + QStringLiteral("/.xscreensaver");
        // Run as root, the user's own file is theirs.
        if (root && QFileInfo(path).isFile() && !QFileInfo(path).isSymLink())
            Own(path, them, theirGroup, OwnerOf(path).mode);
        const XScreensaverPaths paths{path, {dir.file("app-defaults")}};
        const QByteArray command =
            c.program.isEmpty() ? QByteArray("tavello --root") : HackCommand(c.program);
        const AddToXScreensaverReport report = AddToXScreensaver(paths, command, c.duringEdit);
        EXPECT_EQ(report.ok, c.ok);
        EXPECT_TRUE(report.message.contains(QString::fromUtf8(c.said)))
            << report.message.toStdString();
        EXPECT_FALSE(report.message.contains(u'\n'));
        c.check(path);
    }
    qputenv("PATH", oldPath);
}

// Adds TAVELLO as the user uid alone, in their group gid (root becomes them in a child process).
bool AddedAs(uid_t uid, gid_t gid, const QString& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool as = ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
        ::_exit(as && AddToXScreensaver({path, {}}, "tavello --root").ok ? 0 : 1);
    }
    int status = 1;
    return child > 0 && ::waitpid(child, &status, 0) == child && status == 0;
}

// The user's edit of their own file keeps what guards it (owner, group, mode, ACL, attributes) and
// never widens access; a group they are not in, which they cannot give the new file, does not stop
// it, and that group's rights go to no other.
TEST(AddToXScreensaver, TheNewFileKeepsTheOldOnesGuards) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to act as a user and give files to groups";
    test::TestDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0711);
    const auto guards = [](const QString& path) {
        QProcess getfacl;
        getfacl.start("getfacl", {"-n", path});
        getfacl.waitForFinished();
        char tag[16] = {};
        ::getxattr(QFile::encodeName(path).constData(), "user.tag", tag, sizeof tag - 1);
        return (getfacl.readAllStandardOutput() + tag).toStdString();
    };
    const struct {
        const char* name;
        gid_t group;
        mode_t mode;
        const char* acl;
    } cases[] = {
        {"an ACL letting another user in but not the group", 4343, 0600, "u:4244:rw,g::-,m::rw"},
        {"a user attribute", 4343, 0600, nullptr},
        {"a group the user is not in", 4345, 0640, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.file(QStringLiteral("%1/.xscreensaver").arg(c.name));
        dir.write(path, kOwnList);
        Own(QFileInfo(path).path(), 4242, 4343, 0755);
        Own(path, 4242, c.group, c.mode);
        if ((c.acl && QProcess::execute("setfacl", {"-m", c.acl, path}) != 0) ||
            ::setxattr(QFile::encodeName(path).constData(), "user.tag", "mine", 4, 0) != 0) {
            std::printf("skipped, no setfacl, ACLs or user attributes here: %s\n", c.name);
            continue;
        }
        const std::string before = guards(path);
        EXPECT_TRUE(AddedAs(4242, 4343, path));
        if (c.group == 4343) {
            EXPECT_EQ(guards(path), before);
        } else {
            EXPECT_EQ(OwnerOf(path).mode & 070, 0u);  // another group gets none of its rights
        }
    }
}

}  // namespace
}  // namespace tavello
