#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tavello::fuzz {

QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

QString ScratchFolder() {
    // Deleted by its destructor when the process ends normally; a crash leaves it in the
    // temporary folder, where the system's cleaning finds it.
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        auto made = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                    QStringLiteral("/tavello-fuzz-XXXXXX"));
        if (!made->isValid()) {
            std::fprintf(stderr, "cannot make a scratch folder\n");
            std::abort();
        }
        return made;
    }();
    return dir->path();
}

QString WriteScratchFile(const QString& name, const QByteArray& bytes) {
    const QString path = ScratchFolder() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

bool ChecksOn() {
    static const bool on = [] {
        const char* value = std::getenv("TAVELLO_FUZZ_CHECKS");
        return value == nullptr || QByteArray(value) != "0";
    }();
    return on;
}

void Check(bool holds, const char* what) {
    if (holds || !ChecksOn()) return;
    std::fprintf(stderr, "result check failed: %s\n", what);
    std::abort();
}

}  // namespace tavello::fuzz
