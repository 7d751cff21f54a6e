// tavello_fuzz_seeds <corpus folder>: writes every harness's seeds, replacing the folder's own
// seeds and leaving any other file in it alone.

#include "make_corpus.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const QDir root(QString::fromLocal8Bit(argv[1]));
    std::vector<tavello::fuzz::Harness> harnesses = tavello::fuzz::TextHarnesses();
    for (auto& harness : tavello::fuzz::BinaryHarnesses()) harnesses.push_back(std::move(harness));
    for (const auto& harness : harnesses) {
        const QString folder = root.filePath(QString::fromLatin1(harness.name));
        if (!QDir().mkpath(folder)) return 1;
        for (const auto& [name, bytes] : harness.seeds) {
            QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(bytes) != bytes.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                return 1;
            }
        }
        std::printf("%-10s %zu seeds\n", harness.name, harness.seeds.size());
    }
    return 0;
}
