#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tavello::test {

// A throwaway folder that also serves as the settings folder (XDG_CONFIG_HOME) while it lives,
// so no test ever touches the user's own settings.
class TestDir {
  public:
    TestDir();
    ~TestDir();
    QString path() const { return dir_.path(); }
    // The folder the program keeps its settings, registry and password files in.
    QString settingsFolder() const;
    QString file(const QString& name) const { return dir_.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

  private:
    QTemporaryDir dir_;
    QByteArray oldConfigHome_;
    bool hadConfigHome_;
};

}  // namespace tavello::test
