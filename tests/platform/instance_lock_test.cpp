// Where the single-instance lock is kept: only in a folder and file that this user alone owns and
// can write, so another local user can never make our start look like a second instance. The
// music lock is kept by the same rule, in the same places.
#include "platform/linux/FlockInstance.h"
#include "platform/linux/FlockMusicLock.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>
#include <string>

namespace tavello {
namespace {

constexpr uid_t kOtherUser = 65534;  // "nobody" stands in for another local user
const QString kLockName = QStringLiteral("tavello.lock");

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// The places a start without XDG_RUNTIME_DIR looks at, inside a throwaway folder: the session's
// runtime folder (missing here), a folder in the shared temporary folder, one in the home.
class Places {
  public:
    Places() {
        QDir().mkpath(dir_.file("tmp"));
        QDir().mkpath(dir_.file("home"));
    }
    ~Places() {
        if (attackerFd_ >= 0) ::close(attackerFd_);
    }
    QString file(const QString& name) const { return dir_.file(name); }
    QString shared() const { return dir_.file(QStringLiteral("tmp/tavello-%1").arg(::getuid())); }
    QString home() const { return dir_.file("home/.cache/tavello"); }

    QString runtime;  // XDG_RUNTIME_DIR, unset when empty

    std::vector<LockFolder> folders() const {
        std::vector<LockFolder> list;
        if (!runtime.isEmpty()) list.push_back({runtime});
        list.push_back({dir_.file("run/user")});
        list.push_back({shared(), true});
        list.push_back({home(), true});
        return list;
    }

    // Another user's lock file at path, held for the whole case.
    void holdForeignLock(const QString& path, bool chownIt) {
        attackerFd_ = ::open(Native(path).constData(), O_RDWR | O_CREAT, 0666);
        ASSERT_GE(attackerFd_, 0);
        ASSERT_EQ(::flock(attackerFd_, LOCK_EX | LOCK_NB), 0);
        if (chownIt) {
            ASSERT_EQ(::fchown(attackerFd_, kOtherUser, kOtherUser), 0);
        }
    }

  private:
    test::TestDir dir_;
    int attackerFd_ = -1;
};

void MakeFolder(const QString& path, mode_t mode) {
    ASSERT_TRUE(QDir().mkpath(path));
    ASSERT_EQ(::chmod(Native(path).constData(), mode), 0);
}

void GiveAway(const QString& path) {
    ASSERT_EQ(::lchown(Native(path).constData(), kOtherUser, kOtherUser), 0);
}

bool CanGiveAway() {
    test::TestDir dir;
    dir.write("probe", "");
    return ::chown(Native(dir.file("probe")).constData(), kOtherUser, kOtherUser) == 0;
}

struct Case {
    const char* name;
    // Prepares the places and says in which folder the lock should end up ("" for none).
    std::function<QString(Places&)> arrange;
};

// The first start takes the lock where the case says; a second start of the same user is still
// seen as one, except where no place was usable (then both run rather than neither).
void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Places places;
        const QString folder = c.arrange(places);
        if (testing::Test::HasFatalFailure()) return;
        FlockInstance first(places.folders(), kLockName);
        EXPECT_FALSE(first.PrevInstance());
        const QString expected = folder.isEmpty() ? QString() : folder + u'/' + kLockName;
        EXPECT_EQ(first.lockPath().toStdString(), expected.toStdString());
        FlockInstance second(places.folders(), kLockName);
        EXPECT_EQ(second.PrevInstance(), !folder.isEmpty());
        if (folder.isEmpty()) continue;
        struct stat st {};
        if (::lstat(Native(folder).constData(), &st) != 0) continue;  // reported above
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_uid, ::getuid());
        EXPECT_EQ(st.st_mode & (S_IWGRP | S_IWOTH), 0u);
    }
}

TEST(InstanceLock, LinksAndOpenFoldersAreNotUsed) {
    RunCases({
        {"nothing there yet: a private folder is made", [](Places& p) { return p.shared(); }},
        {"runtime folder of our own",
         [](Places& p) {
             p.runtime = p.file("runtime");
             MakeFolder(p.runtime, 0700);
             return p.runtime;
         }},
        {"runtime folder anyone can write, lock held in it",
         [](Places& p) {
             p.runtime = p.file("runtime");
             MakeFolder(p.runtime, 0777);
             p.holdForeignLock(p.runtime + u'/' + kLockName, false);
             return p.shared();
         }},
        {"shared folder is a link to an open folder with a held lock",
         [](Places& p) {
             MakeFolder(p.file("evil"), 0777);
             p.holdForeignLock(p.file("evil/") + kLockName, false);
             EXPECT_TRUE(QFile::link(p.file("evil"), p.shared()));
             return p.home();
         }},
        {"shared folder is a link to a folder of our own",
         [](Places& p) {
             MakeFolder(p.file("mine"), 0700);
             EXPECT_TRUE(QFile::link(p.file("mine"), p.shared()));
             return p.home();
         }},
        {"shared folder is ours but anyone can write it",
         [](Places& p) {
             MakeFolder(p.shared(), 0777);
             return p.home();
         }},
        {"lock file is a link to a held lock",
         [](Places& p) {
             MakeFolder(p.shared(), 0700);
             p.holdForeignLock(p.file("held"), false);
             EXPECT_TRUE(QFile::link(p.file("held"), p.shared() + u'/' + kLockName));
             return p.home();
         }},
        {"lock file is a fifo",
         [](Places& p) {
             MakeFolder(p.shared(), 0700);
             EXPECT_EQ(::mkfifo(Native(p.shared() + u'/' + kLockName).constData(), 0600), 0);
             return p.home();
         }},
        {"no usable place at all",
         [](Places& p) {
             EXPECT_TRUE(QFile::link(p.file("nowhere"), p.shared()));
             EXPECT_TRUE(QFile::link(p.file("nowhere"), p.file("home/.cache")));
             return QString();
         }},
    });
}

TEST(InstanceLock, PlacesOwnedByAnotherUserAreNotUsed) {
    if (!CanGiveAway()) GTEST_SKIP() << "files cannot be given to another user here (not root)";
    RunCases({
        {"shared folder made by another user, lock held in it",
         [](Places& p) {
             MakeFolder(p.shared(), 0777);
             p.holdForeignLock(p.shared() + u'/' + kLockName, true);
             GiveAway(p.shared());
             return p.home();
         }},
        {"shared folder private to another user",
         [](Places& p) {
             MakeFolder(p.shared(), 0700);
             GiveAway(p.shared());
             return p.home();
         }},
        {"lock file of another user, held, in our folder",
         [](Places& p) {
             MakeFolder(p.shared(), 0700);
             p.holdForeignLock(p.shared() + u'/' + kLockName, true);
             return p.home();
         }},
        {"runtime folder of another user",
         [](Places& p) {
             p.runtime = p.file("runtime");
             MakeFolder(p.runtime, 0700);
             GiveAway(p.runtime);
             return p.shared();
         }},
    });
}

TEST(SingleInstanceTest, SecondHolderIsRefusedUntilTheFirstIsGone) {
    test::TestDir dir;
    const QString lock = dir.file("t.lock");
    dir.write("t.lock", "left behind by a crash");
    {
        FlockInstance first(lock);
        EXPECT_FALSE(first.PrevInstance()) << "a stale lock file does not block";
        FlockInstance second(lock);
        EXPECT_TRUE(second.PrevInstance());
        EXPECT_TRUE(second.PrevInstance()) << "the answer stays";
    }
    FlockInstance third(lock);
    EXPECT_FALSE(third.PrevInstance()) << "released with its holder";
}

TEST(SingleInstanceTest, LockHeldByAnotherProcessIsSeen) {
    test::TestDir dir;
    const QString lock = dir.file("t.lock");
    QProcess holder;
    holder.start("flock", {lock, "sleep", "30"});
    ASSERT_TRUE(holder.waitForStarted());
    bool seen = false;
    for (int i = 0; i < 250 && !seen; ++i) {  // until flock has taken it (bounded)
        FlockInstance probe(lock);
        seen = probe.PrevInstance();
        if (!seen) QThread::msleep(20);
    }
    EXPECT_TRUE(seen);
    holder.kill();
    holder.waitForFinished();
}

TEST(MusicLock, KeptInTheFirstPlaceTheInstanceLockWouldUse) {
    const Case cases[] = {
        {"runtime folder of our own",
         [](Places& p) {
             p.runtime = p.file("runtime");
             MakeFolder(p.runtime, 0700);
             return p.runtime;
         }},
        {"runtime folder anyone can write: the shared folder is made",
         [](Places& p) {
             p.runtime = p.file("runtime");
             MakeFolder(p.runtime, 0777);
             return p.shared();
         }},
        {"shared folder is a link: the home",
         [](Places& p) {
             MakeFolder(p.file("mine"), 0700);
             EXPECT_TRUE(QFile::link(p.file("mine"), p.shared()));
             return p.home();
         }},
        {"no usable place at all: silence",
         [](Places& p) {
             EXPECT_TRUE(QFile::link(p.file("nowhere"), p.shared()));
             EXPECT_TRUE(QFile::link(p.file("nowhere"), p.file("home/.cache")));
             return QString();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Places places;
        const QString folder = c.arrange(places);
        if (testing::Test::HasFatalFailure()) return;
        FlockMusicLock first(places.folders());
        EXPECT_EQ(first.TryTake(), !folder.isEmpty());
        // Another show of this user meets the same file and stays silent.
        EXPECT_FALSE(FlockMusicLock(places.folders()).TryTake());
        if (!folder.isEmpty()) {
            EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/music.lock")));
        }
        FlockInstance instance(places.folders(), kLockName);
        EXPECT_FALSE(instance.PrevInstance());
        EXPECT_EQ(instance.lockPath().toStdString(),
                  (folder.isEmpty() ? QString() : folder + u'/' + kLockName).toStdString());
    }
}

}  // namespace
}  // namespace tavello
