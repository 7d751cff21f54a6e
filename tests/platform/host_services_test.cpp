// The services of the show in a screen-saver host: the per-user music lock in a private folder,
// and the end signals caught and reported on the event loop.

#include "platform/EndSignals.h"
#include "platform/linux/FlockMusicLock.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <csignal>
#include <functional>

namespace tavello {
namespace {

using test::TestDir;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

TEST(MusicLockTest, OneHolderPerFolderUntilItEnds) {
    TestDir dir;
    const QString folder = dir.file("locks");
    auto first = std::make_unique<FlockMusicLock>(folder);
    FlockMusicLock second(folder);
    EXPECT_TRUE(first->TryTake());
    EXPECT_TRUE(first->TryTake());  // kept
    EXPECT_FALSE(second.TryTake());
    struct stat info {};
    ASSERT_EQ(stat(Native(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);  // made private
    first.reset();                          // the holder ends: the lock is free again
    EXPECT_TRUE(second.TryTake());
    EXPECT_FALSE(FlockMusicLock(folder).TryTake());
    EXPECT_TRUE(FlockMusicLock(dir.file("elsewhere")).TryTake());
}

TEST(MusicLockTest, PlacesOthersCouldReachAreRefused) {
    const struct {
        const char* name;
        std::function<void(const QString& folder, const QString& other)> prepare;
    } cases[] = {
        {"folder is a symbolic link",
         [](const QString& folder, const QString& other) {
             QDir().mkpath(other);
             chmod(Native(other).constData(), 0700);
             ASSERT_EQ(symlink(Native(other).constData(), Native(folder).constData()), 0);
         }},
        {"folder open to the group",
         [](const QString& folder, const QString&) {
             QDir().mkpath(folder);
             chmod(Native(folder).constData(), 0770);
         }},
        {"folder readable by others",
         [](const QString& folder, const QString&) {
             QDir().mkpath(folder);
             chmod(Native(folder).constData(), 0704);
         }},
        {"lock file is a symbolic link",
         [](const QString& folder, const QString& other) {
             QDir().mkpath(folder);
             chmod(Native(folder).constData(), 0700);
             QFile(other).open(QIODevice::WriteOnly);
             ASSERT_EQ(
                 symlink(Native(other).constData(), Native(folder + "/music.lock").constData()), 0);
         }},
        {"lock file writable by others",
         [](const QString& folder, const QString&) {
             QDir().mkpath(folder);
             chmod(Native(folder).constData(), 0700);
             QFile file(folder + "/music.lock");
             file.open(QIODevice::WriteOnly);
             chmod(Native(file.fileName()).constData(), 0666);
         }},
        {"lock file is a FIFO",
         [](const QString& folder, const QString&) {
             QDir().mkpath(folder);
             chmod(Native(folder).constData(), 0700);
             ASSERT_EQ(mkfifo(Native(folder + "/music.lock").constData(), 0600), 0);
         }},
        {"folder is a file",
         [](const QString& folder, const QString&) { QFile(folder).open(QIODevice::WriteOnly); }},
    };
    for (const auto& c : cases) {
        TestDir dir;
        const QString folder = dir.file("locks");
        c.prepare(folder, dir.file("other"));
        EXPECT_FALSE(FlockMusicLock(folder).TryTake()) << c.name;
    }
    // Another user's folder: only root can make one here.
    if (getuid() == 0) {
        TestDir dir;
        const QString folder = dir.file("locks");
        QDir().mkpath(folder);
        chmod(Native(folder).constData(), 0700);
        ASSERT_EQ(chown(Native(folder).constData(), 12345, 12345), 0);
        EXPECT_FALSE(FlockMusicLock(folder).TryTake()) << "folder of another user";
    }
}

TEST(EndSignalsTest, EachSignalIsReportedOnTheEventLoopInsteadOfKilling) {
    EndSignals endSignals;
    int reported = 0;
    QObject::connect(&endSignals, &EndSignals::requested, [&] { ++reported; });
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const int before = reported;
        std::raise(signal);                     // the process lives on
        EXPECT_EQ(reported, before) << signal;  // not from inside the handler
        QCoreApplication::processEvents();
        EXPECT_EQ(reported, before + 1) << signal;
    }
    // Two signals before the loop turns are one request; nothing is left over for later.
    std::raise(SIGTERM);
    std::raise(SIGHUP);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(reported, 4);
}

TEST(EndSignalsTest, ASignalBeforeTheReporterExistsIsReportedByIt) {
    EndSignals::Catch();
    std::raise(SIGTERM);
    EndSignals endSignals;
    bool reported = false;
    QObject::connect(&endSignals, &EndSignals::requested, [&] { reported = true; });
    QCoreApplication::processEvents();
    EXPECT_TRUE(reported);
}

}  // namespace
}  // namespace tavello
