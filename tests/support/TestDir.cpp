#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <stdexcept>

namespace tavello::test {

TestDir::TestDir() : hadConfigHome_(std::getenv("XDG_CONFIG_HOME") != nullptr) {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
    if (hadConfigHome_) oldConfigHome_ = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit().constData(), 1);
}

TestDir::~TestDir() {
    if (hadConfigHome_)
        setenv("XDG_CONFIG_HOME", oldConfigHome_.constData(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

QString TestDir::settingsFolder() const {
    return dir_.filePath("tavello");
}

void TestDir::write(const QString& name, const QByteArray& bytes) const {
    const QString full = name.startsWith('/') ? name : dir_.filePath(name);
    QDir().mkpath(QFileInfo(full).path());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray TestDir::read(const QString& name) const {
    QFile f(name.startsWith('/') ? name : dir_.filePath(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

}  // namespace tavello::test
