// Hostile files where a picture should be, for the end-to-end tests of the show's loader:
//   corpus_probe <folder> <name>...   writes each named file of the picture tests' corpus into the
//                                     folder, or "slow-scans.jpg": a large progressive JPEG
//                                     whose first scan is repeated as often as a decoder still
//                                     takes, so that decoding it keeps the loader busy a while.
// Exits 1 naming a file it does not know or cannot write.

#include "picture_corpus.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <map>

using namespace tavello::test;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <name>...\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    std::map<QByteArray, QByteArray> files;
    for (const corpus::Entry& entry : corpus::Pictures())
        if (entry.kind == corpus::Kind::File) files[entry.name] = entry.bytes;
    const QImage large = corpus::RedOverBlue(QSize(8000, 6000));
    files["slow-scans.jpg"] = samples::WithRepeatedScan(samples::Encode(large, "JPEG", true), 240);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const auto found = files.find(argv[i]);
        QFile file(folder.filePath(QString::fromLocal8Bit(argv[i])));
        if (found == files.end() || !file.open(QIODevice::WriteOnly) ||
            file.write(found->second) != found->second.size()) {
            std::fprintf(stderr, "corpus_probe: cannot write %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
