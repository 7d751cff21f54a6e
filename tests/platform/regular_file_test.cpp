// Reading only regular files: a FIFO, folder or device must be refused at once, never waited on.
#include "platform/RegularFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tavello {
namespace {

TEST(RegularFile, OnlyRegularFilesAreReadAndNothingBlocks) {
    test::TestDir dir;
    dir.write("plain.txt", "abcdef");
    dir.write("empty.txt", "");
    ASSERT_EQ(::mkfifo(dir.file("pipe").toLocal8Bit().constData(), 0600), 0);
    ASSERT_EQ(::symlink(dir.file("pipe").toLocal8Bit().constData(),
                        dir.file("link-to-pipe").toLocal8Bit().constData()),
              0);
    ASSERT_EQ(::symlink(dir.file("plain.txt").toLocal8Bit().constData(),
                        dir.file("link-to-plain").toLocal8Bit().constData()),
              0);
    struct Case {
        QString path;
        std::optional<QByteArray> expected;
    } const cases[] = {
        {dir.file("plain.txt"), QByteArray("abcdef")},
        {dir.file("empty.txt"), QByteArray()},
        {dir.file("link-to-plain"), QByteArray("abcdef")},
        {dir.file("pipe"), std::nullopt},
        {dir.file("link-to-pipe"), std::nullopt},
        {dir.path(), std::nullopt},
        {QStringLiteral("/dev/zero"), std::nullopt},
        {dir.file("missing"), std::nullopt},
        {QString(), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(ReadRegularFile(c.path, 1024), c.expected);
        EXPECT_EQ(OpenRegularFile(c.path) != nullptr, c.expected.has_value());
    }
}

TEST(RegularFile, ReadingStopsAtTheLimitAndSaysSo) {
    test::TestDir dir;
    dir.write("ten", "0123456789");
    for (const auto& [limit, expected, expectCut] :
         {std::tuple{qint64{10}, QByteArray("0123456789"), false},
          std::tuple{qint64{9}, QByteArray("012345678"), true},
          std::tuple{qint64{0}, QByteArray(), true}}) {
        bool cut = !expectCut;
        EXPECT_EQ(ReadRegularFile(dir.file("ten"), limit, &cut), expected) << limit;
        EXPECT_EQ(cut, expectCut) << limit;
    }
}

}  // namespace
}  // namespace tavello
