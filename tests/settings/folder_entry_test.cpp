#include "settings/FolderEntry.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

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

struct ScanCase {
    const char* what;
    QStringList tree;
    std::function<void(const QString& root)> arrange;  // links, modes
    QStringList expected;                              // relative to the entry's folder
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
        const QString entry = FolderEntryFor(root);
        ASSERT_TRUE(IsFolderEntry(entry));
        const QStringList found = ScanFolderEntry(entry);
        EXPECT_EQ(Relative(root, found), c.expected);
        EXPECT_EQ(FirstPictureOf(entry), found.value(0));
        QFile::setPermissions(root + "/locked",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
