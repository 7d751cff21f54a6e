// Adding TAVELLO to a ~/.xscreensaver whose "programs:" list runs over many stored lines that never
// end an entry (the hardest layout for finding where an entry may go): the time for 100,000 lines
// against 10,000. A linear edit takes about ten times as long; the target allows 15.
//
//   xscreensaver_bench

#include "BenchCommon.h"
#include "host/XScreensaverList.h"

#include <QElapsedTimer>
#include <vector>

namespace {

QByteArray EndlessList(int lines) {
    QByteArray text = "programs: \\\n";
    for (int i = 0; i < lines; ++i) text += "  maze --root \\\n";
    return text + "  --level 3\n";
}

// The median time of adding TAVELLO to a list of that many lines, in milliseconds.
double EditTime(int lines) {
    const QByteArray text = EndlessList(lines);
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        const auto result =
            tavello::AddTavelloToXScreensaverList(text, std::nullopt, "tavello --root");
        times.push_back(result.text.size() > text.size() ? tavello::bench::MsSince(timer) : -1);
    }
    return tavello::bench::AllTaken(times) ? tavello::bench::Median(times) : -1;
}

}  // namespace

int main() {
    const double small = EditTime(10000);
    const double large = EditTime(100000);
    if (small <= 0 || large < 0) return 2;
    tavello::bench::Result("xscreensaver_edit_10k_lines", small, "ms");
    tavello::bench::Result("xscreensaver_edit_100k_lines", large, "ms");
    const double ratio = large / small;
    tavello::bench::Result("xscreensaver_edit_100k_vs_10k", ratio, "x (target <= 15)");
    return ratio <= 15 ? 0 : 1;
}
