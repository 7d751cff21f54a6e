#include "loader/LoaderFolderScan.h"
#include "loader/PictureLoaderClient.h"
#include "picture_corpus.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <QFile>
#include <QTest>

using namespace tavello;
using namespace tavello::test;

namespace {

const ShowFit kFit{QStringLiteral("100%"), 32, 24, 1};

// Asks the client for path and waits for its answer (a generous stop against a hang).
std::optional<LoadedPicture> Load(PictureLoaderClient& client, const QString& path) {
    bool answered = false;
    std::optional<LoadedPicture> answer;
    client.Request(path, kFit, [&](std::optional<LoadedPicture> picture) {
        answered = true;
        answer = std::move(picture);
    });
    EXPECT_FALSE(answered);  // never from inside the call
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 60000));
    return answer;
}

QByteArray StatusLine(qint64 pid, const char* key) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line;
    return {};
}

}  // namespace

TEST(PictureLoaderTest, HostileFilesFailOrLoadBoundedAndTheNextPictureStillLoads) {
    const TestDir dir;
    const QString good = corpus::Place(
        dir, {"good.jpg", samples::Encode(corpus::RedOverBlue({64, 48}), "JPEG"), {}});
    PictureLoaderClient client;
    for (const corpus::Entry& entry : corpus::Pictures()) {
        SCOPED_TRACE(entry.name);
        const std::optional<LoadedPicture> loaded = Load(client, corpus::Place(dir, entry));
        ASSERT_EQ(loaded.has_value(), entry.shows.isValid());
        if (loaded) {
            EXPECT_EQ(loaded->ownSize, entry.shows);
            // Decoded no larger than the screen it is shown on, and the right way up.
            EXPECT_LE(loaded->image.width(), 32);
            EXPECT_LE(loaded->image.height(), 24);
            EXPECT_TRUE(corpus::RedAboveBlue(loaded->image));
        }
        const std::optional<LoadedPicture> next = Load(client, good);
        ASSERT_TRUE(next);
        EXPECT_EQ(next->image.size(), QSize(32, 24));
    }
}

TEST(PictureLoaderTest, ConfinedLoaderThatCrashesOrHangsIsReplaced) {
    const TestDir dir;
    const QString good =
        corpus::Place(dir, {"good.png", samples::Encode(corpus::RedOverBlue({64, 48}), "PNG"), {}});
    const struct {
        const char* name;
        int signal;  // sent while the loader works on a picture; none: it hangs past its budget
        std::chrono::milliseconds budget;
    } cases[] = {{"crash", SIGSEGV, std::chrono::minutes(5)},
                 {"hang", 0, std::chrono::milliseconds(500)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PictureLoaderClient client(c.budget);
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(Load(client, good));
            const qint64 pid = client.loaderPid();
            EXPECT_EQ(StatusLine(pid, "Seccomp:"), "Seccomp:\t2");
            EXPECT_EQ(StatusLine(pid, "NoNewPrivs:"), "NoNewPrivs:\t1");
            if (round == 1) break;
            ::kill(pid_t(pid), SIGSTOP);
            bool answered = false;
            std::optional<LoadedPicture> answer;
            client.Request(good, kFit, [&](std::optional<LoadedPicture> picture) {
                answered = true;
                answer = std::move(picture);
            });
            ASSERT_TRUE(QTest::qWaitFor([&] { return client.decoding(); }, 60000));
            // A stopped loader takes the signal as it goes on; left stopped, it is over budget.
            if (c.signal) ::kill(pid_t(pid), c.signal);
            if (c.signal) ::kill(pid_t(pid), SIGCONT);
            ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 60000));
            EXPECT_FALSE(answer);
        }
    }
}

TEST(PictureLoaderTest, FolderListedInTheLoaderAsInProcess) {
    const TestDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    QDir().mkpath(dir.file("a/b"));
    QFile::link(dir.file("a/b"), dir.file("link"));
    // A link leading out of the entry is followed too.
    const TestDir outside;
    QFile(outside.file("3.jpg")).open(QIODevice::WriteOnly);
    QFile::link(outside.path(), dir.file("a/out"));
    const QByteArray odd = root + "/a/\x83\x65\x83\x58\x83\x67.jpg";  // not UTF-8
    for (const QByteArray& name : {odd, root + "/a/b/1.png", root + "/2.jpg"})
        ::close(::open(name.constData(), O_WRONLY | O_CREAT, 0600));
    QStringList everything;
    for (const QString& entry : {dir.path() + "/", dir.path() + "/link/"}) {
        SCOPED_TRACE(entry.toStdString());
        QStringList expected, listed;
        FoldersSeen expectedSeen, seen;
        VisitFolderEntry(
            entry, [&](const QString& path) { expected << path; }, {}, &expectedSeen);
        VisitFolderEntry(
            entry, [&](const QString& path) { expected << path; }, {}, &expectedSeen);
        const LoaderScan scan = MakeLoaderFolderScan();
        for (int twice = 0; twice < 2; ++twice)
            scan(
                entry, [&](const QString& path) { listed << path; }, {}, seen);
        EXPECT_EQ(listed, expected);
        EXPECT_EQ(seen, expectedSeen);
        everything << listed;
    }
    EXPECT_TRUE(everything.contains(DecodeFileName(odd)));
    EXPECT_TRUE(everything.contains(dir.file("a/out/3.jpg")));
}
