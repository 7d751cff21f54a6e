#include "platform/FileNames.h"
#include "platform/RegularFile.h"
#include "settings/FolderEntry.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>

namespace tavello {
namespace {

using test::TestDir;

// Makes the files (and the folders on their way) below root; a name ending in "/" is a folder.
void MakeTree(const QString& root, const QStringList& names) {
    for (const QString& name : names) {
        const QString path = root + u'/' + name;
        if (name.endsWith(u'/')) {
            QDir().mkpath(path);
            continue;
        }
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
}

QStringList Relative(const QString& root, const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths) out << QDir(root).relativeFilePath(p);
    return out;
}

// A chain of levels folders "dd" below root, longer than a path may be, with p.jpg at its end.
void MakeChain(const QString& root, int levels) {
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels && fd >= 0; ++i) {
        ASSERT_EQ(::mkdirat(fd, "dd", 0700), 0);
        const int next = ::openat(fd, "dd", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ASSERT_GE(fd, 0);
    ::close(::openat(fd, "p.jpg", O_WRONLY | O_CREAT, 0600));
    ::close(fd);
}

// Shortens the chain a level at a time, since no path reaches its end for removing it.
void RemoveChain(const QString& root) {
    const QString top = root + "/dd", below = root + "/dd/dd", kept = root + "/kept";
    while (QFileInfo::exists(top)) {
        const bool deeper = QFile::rename(below, kept);
        QDir(top).removeRecursively();
        if (deeper) QFile::rename(kept, top);
    }
}

// "日本.jpg" in Shift-JIS, as an old camera card may hold it.
constexpr char kShiftJisName[] = "\x93\xfa\x96\x7b.jpg";

struct ScanCase {
    const char* what;
    QStringList tree;
    std::function<void(const QString& root)> arrange;  // links, modes
    QStringList expected;                              // relative to the album's folder
    QStringList entries = {""};                        // folders of the album listed in turn
};

TEST(FolderEntry, ScanFollowsTheFileManagersOrderAndRules) {
    const std::vector<ScanCase> cases = {
        {"natural, case-insensitive order, folder level by folder level",
         {"10.jpg", "2.JPG", "b/1.png", "B2.webp", "a.heic", "a/x.avif", "1/9.tif"},
         {},
         {"1/9.tif", "2.JPG", "10.jpg", "a/x.avif", "a.heic", "b/1.png", "B2.webp"}},
        {"only picture extensions, any case",
         {"note.txt", "film.mp4", "p.GiF", "q.TIFF", "r.jpeg", "noext"},
         {},
         {"p.GiF", "q.TIFF", "r.jpeg"}},
        {"hidden files and folders are skipped",
         {".hidden.jpg", ".thumbs/a.jpg", "shown.jpg"},
         {},
         {"shown.jpg"}},
        {"any depth", {"a/b/c/d/e/deep.bmp", "top.bmp"}, {}, {"a/b/c/d/e/deep.bmp", "top.bmp"}},
        {"links are followed, a loop is entered once",
         {"real/p.jpg", "z/"},
         [](const QString& root) {
             ASSERT_EQ(::symlink("../real", QFile::encodeName(root + "/z/link").constData()), 0);
             ASSERT_EQ(::symlink("..", QFile::encodeName(root + "/real/up").constData()), 0);
         },
         {"real/p.jpg"}},
        {"a folder that cannot be read is passed over",
         {"locked/p.jpg", "open/q.jpg"},
         [](const QString& root) { QFile::setPermissions(root + "/locked", {}); },
         {"open/q.jpg"}},
        {"a chain deeper than a path may be long",
         {},
         [](const QString& root) { MakeChain(root, 2000); },
         {QString("dd/").repeated(2000) + "p.jpg"}},
        {"a folder reached by several entries, or inside one listed before, is listed once",
         {"a/p.jpg", "a/in/q.jpg", "b/r.jpg"},
         [](const QString& root) {
             ASSERT_EQ(::symlink("../a", QFile::encodeName(root + "/b/to-a").constData()), 0);
         },
         {"a/in/q.jpg", "a/p.jpg", "b/r.jpg"},
         {"a/in", "a", "b", "a", "b/to-a"}},
        {"a name that is not UTF-8 is listed as found",
         {"a.jpg"},
         [](const QString& root) {
             ::close(::creat((QFile::encodeName(root) + '/' + kShiftJisName).constData(), 0600));
         },
         {"a.jpg", DecodeFileName(kShiftJisName)}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.what);
        if (QString(c.what).contains("cannot be read") && ::geteuid() == 0)
            continue;  // root reads all
        TestDir dir;
        const QString root = dir.path() + "/album";
        QDir().mkpath(root);
        MakeTree(root, c.tree);
        if (c.arrange) c.arrange(root);
        QStringList found;
        FoldersSeen seen;
        for (const QString& folder : c.entries) {
            const QString entry = FolderEntryFor(root + u'/' + folder);
            ASSERT_TRUE(IsFolderEntry(entry));
            if (found.isEmpty()) {
                EXPECT_EQ(FirstPictureOf(entry), ScanFolderEntry(entry).value(0));
            }
            VisitFolderEntry(
                entry, [&](const QString& path) { found << path; }, {}, &seen);
        }
        EXPECT_EQ(Relative(root, found), c.expected);
        for (const QString& path : found) {
            EXPECT_TRUE(OpenRegularFile(path)) << path.toStdString();
        }
        QFile::setPermissions(root + "/locked",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        RemoveChain(root);
        ::unlink((QFile::encodeName(root) + '/' + kShiftJisName).constData());  // out of Qt's reach
    }
}

TEST(FolderEntry, MissingFolderAndCancelGiveWhatWasFound) {
    TestDir dir;
    EXPECT_TRUE(ScanFolderEntry(dir.path() + "/gone/").isEmpty());
    EXPECT_TRUE(FirstPictureOf(dir.path() + "/gone/").isEmpty());
    MakeTree(dir.path(), {"a/1.jpg", "b/2.jpg"});
    int asked = 0;
    const QStringList found =
        ScanFolderEntry(FolderEntryFor(dir.path()), [&] { return ++asked > 2; });
    EXPECT_EQ(Relative(dir.path(), found), QStringList{"a/1.jpg"});
}

}  // namespace
}  // namespace tavello
