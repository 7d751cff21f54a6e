// Adding TAVELLO to a ~/.xscreensaver whose "programs:" list runs over many stored lines that never
// end an entry (the hardest layout for finding where an entry may go): the time for 100,000 lines
// against 10,000. A linear edit takes about ten times as long; the target allows 15.
//
//   xscreensaver_bench [--smoke]
//
// --smoke (1,000 lines against 100, once) only proves the benchmark runs.

#include "BenchCommon.h"
#include "host/XScreensaverList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <vector>

using namespace tavello::bench;

namespace {

QByteArray EndlessList(int lines) {
    QByteArray text = "programs: \\\n";
    for (int i = 0; i < lines; ++i) text += "  maze --root \\\n";
    return text + "  --level 3\n";
}

// The median time of adding TAVELLO to a list of that many lines, in milliseconds.
double EditTime(int lines, int rounds) {
    const QByteArray text = EndlessList(lines);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const auto result =
            tavello::AddTavelloToXScreensaverList(text, std::nullopt, "tavello --root");
        times.push_back(result.text.size() > text.size() ? MsSince(timer) : -1);
    }
    return AllTaken(times) ? Median(times) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    BenchApp<QCoreApplication> bench(argc, argv);
    const int lines = ByLength(bench.length, 10000, 10000, 100);
    const int rounds = ByLength(bench.length, 5, 5, 1);
    const double small = EditTime(lines, rounds);
    const double large = EditTime(10 * lines, rounds);
    if (small <= 0 || large < 0) return 2;
    Result("xscreensaver_edit_10k_lines", small, "ms");
    Result("xscreensaver_edit_100k_lines", large, "ms");
    const double ratio = large / small;
    Result("xscreensaver_edit_100k_vs_10k", ratio, "x (target <= 15)");
    return Verdict(bench.length, ratio <= 15);
}
