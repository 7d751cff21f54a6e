// The autostart entry on disk: made, left alone when it already says the same, rewritten for
// another time; and this program's path as a desktop entry's Exec line must quote it.
#include "idle/Autostart.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>

namespace tavello {
namespace {

using namespace std::chrono_literals;

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

TEST(Autostart, WritesTheEntryOnlyWhenItChanges) {
    test::TestDir dir;
    const QString path = AutostartFile();
    EXPECT_EQ(path, dir.file("autostart/tavello-idle.desktop"));
    struct Step {
        std::chrono::seconds time;
        const char* said;
        bool replaced;
        const char* exec;
    } const steps[] = {
        {600s, "を作りました", true, "Exec=tavello --idle 10m\n"},
        {600s, "何も変えていません", false, "Exec=tavello --idle 10m\n"},
        {90s, "を書き換えました", true, "Exec=tavello --idle 1m30s\n"},
    };
    ino_t before = 0;
    for (const Step& step : steps) {
        const AutostartReport report = AddToAutostart(path, QStringLiteral("tavello"), step.time);
        EXPECT_TRUE(report.ok) << report.message.toStdString();
        EXPECT_TRUE(report.message.contains(QString::fromUtf8(step.said)))
            << report.message.toStdString();
        EXPECT_TRUE(dir.read(path).contains(step.exec)) << step.exec;
        EXPECT_EQ(Inode(path) != before, step.replaced) << step.said;
        before = Inode(path);
    }
}

TEST(Autostart, QuotesThePathAsExecWants) {
    struct Case {
        const char* path;
        const char* word;
    } const cases[] = {
        {"/opt/tavello/bin/tavello", "/opt/tavello/bin/tavello"},
        {"/opt/my apps/tavello", "\"/opt/my apps/tavello\""},
        {"/opt/100%/tavello", "/opt/100%%/tavello"},
        {"/opt/a\"$b/tavello", "\"/opt/a\\\\\"\\\\$b/tavello\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AutostartProgram(QString::fromUtf8(c.path)).toStdString(), c.word) << c.path;
}

}  // namespace
}  // namespace tavello
