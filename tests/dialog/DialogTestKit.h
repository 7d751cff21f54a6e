#pragma once

// Fakes for the services the settings dialog uses, and a fixture that builds the dialog over a
// throwaway settings folder.

#include "dialog/Form2.h"
#include "music/Mci.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QListWidget;

namespace tavello::test {

// The texts of a list's entries, in order.
QStringList Items(const QListWidget* list);

// count picture paths "/photos/p0.jpg", "/photos/p1.jpg", ...
QStringList Numbered(int count);

struct ShownMessage {
    QString text;
    MsgIcon icon;
};

class FakeMessageBox final : public MessageBoxService {
  public:
    void MsgBox(QWidget*, const QString& text, MsgIcon icon) override {
        shown.push_back({text, icon});
    }
    std::vector<ShownMessage> shown;
};

// Answers the next dialog with the given files (empty: cancel), as the system dialog would.
class FakeFileDialog final : public FileDialogService {
  public:
    QStringList ChooseFiles(const FileRequest& request) override {
        seen.push_back(request);
        return answer;
    }
    // Answers the folder chooser with folderAnswer ("" cancels), counting the calls.
    QString ChooseFolder() override {
        ++folderCalls;
        return folderAnswer;
    }
    QStringList answer;
    std::vector<FileRequest> seen;
    QString folderAnswer;
    int folderCalls = 0;
};

struct ShellCall {
    QString operation;
    QString file;
    bool hasParameters;
    QString directory;
    int show;
};

class FakeShell final : public ShellService {
  public:
    std::intptr_t ShellExecuteA(std::uintptr_t, const QString& operation, const QString& file,
                                const QString* parameters, const QString& directory,
                                int showCommand) override {
        calls.push_back({operation, file, parameters != nullptr, directory, showCommand});
        return 42;
    }
    std::vector<ShellCall> calls;
};

// The dialog only stores a music path; any command reaching the music device is a fault.
class RecordingMci final : public MciService {
  public:
    std::uint32_t Send(const MciParseResult& sent, QByteArray&) override {
        commands << QString::fromLocal8Bit(sent.command.text);
        return 0;
    }
    QStringList commands;
};

class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        services_.mci = &mci_;
        services_.messageBox = &messages_;
        services_.fileDialog = &files_;
        services_.shell = &shell_;
    }

    // The settings file the dialog reads and writes.
    QString settingsFile() const { return dir_.settingsFolder() + QStringLiteral("/TAVELLO.INI"); }
    void writeSettings(const QByteArray& bytes) const { dir_.write(settingsFile(), bytes); }
    QByteArray readSettings() const { return dir_.read(settingsFile()); }

    // Creates and loads the dialog; the banner timer is stopped so tests drive it themselves.
    Form2& open(bool show = true);

    template <typename T = QWidget>
    T* control(const char* name) const {
        T* found = form_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TestDir dir_;
    FakeMessageBox messages_;
    FakeFileDialog files_;
    FakeShell shell_;
    RecordingMci mci_;
    Services services_;
    std::unique_ptr<Form2> form_;
};

// "a\r\nb\r\n" from {"a", "b"}.
QByteArray CrLfLines(const QStringList& lines);

}  // namespace tavello::test
