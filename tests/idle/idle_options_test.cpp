// What may follow --idle (the time and the user's lock command, in either order), the lock
// command among the show's arguments, and the show's arguments the watcher passes it on in.
#include "idle/IdleOptions.h"

#include <gtest/gtest.h>

namespace tavello {
namespace {

TEST(IdleOptions, TimeAndLockCommandInEitherOrder) {
    struct Case {
        QStringList args;
        bool ok;
        QString time, lock;
    } const cases[] = {
        {{"10m"}, true, "10m", ""},
        {{"10m", "--lock", "swaylock -f"}, true, "10m", "swaylock -f"},
        {{"--lock", "swaylock -f", "90s"}, true, "90s", "swaylock -f"},
        {{}, false, "", ""},
        {{"--lock", "swaylock"}, false, "", ""},
        {{"10m", "--lock"}, false, "", ""},
        {{"10m", "--lock", " "}, false, "", ""},
        {{"10m", "5m"}, false, "", ""},
        {{"10m", "--lock", "a", "--lock", "b"}, false, "", ""},
    };
    for (const Case& c : cases) {
        const std::optional<IdleOptions> read = ParseIdleOptions(c.args);
        ASSERT_EQ(read.has_value(), c.ok) << c.args.join(u'|').toStdString();
        if (!read) continue;
        EXPECT_EQ(read->time, c.time);
        EXPECT_EQ(read->lockCommand, c.lock);
        // The watcher's show reads back the command it was given.
        EXPECT_EQ(LockCommandOption(ShowArguments(c.lock)), c.lock);
    }
    EXPECT_EQ(ShowArguments(""), QStringList{"/S"});
    EXPECT_EQ(LockCommandOption({"/S", "--lock"}), "");
}

}  // namespace
}  // namespace tavello
