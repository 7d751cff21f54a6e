#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "platform/FileDialog.h"

namespace tavello {

namespace {

// "*.JPG" becomes "*.[jJ][pP][gG]": the classic dialog matches names case-insensitively, and
// the pattern then matches alike whatever the file system or dialog implementation does.
QString CaseInsensitivePattern(const QString& pattern) {
    QString result;
    for (const QChar c : pattern) {
        if (c.toLower() == c.toUpper()) {
            result += c;
            continue;
        }
        result += u'[';
        result += c.toLower();
        result += c.toUpper();
        result += u']';
    }
    return result;
}

QStringList NameFilters(const QList<FileFilter>& filters) {
    QStringList names;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const QString& pattern : filter.patterns)
            patterns << CaseInsensitivePattern(pattern.trimmed());
        names << filter.description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return names;
}

void Configure(QFileDialog& dialog, const FileRequest& request) {
    // Qt's own dialog everywhere, so the answer and the pattern matching are the same on every
    // desktop; the description is shown as written, without the generated pattern list.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    const QStringList filters = NameFilters(request.filters);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.front());
    }
}

class QtFileDialogService final : public FileDialogService {
  public:
    QStringList ChooseFiles(const FileRequest& request) override {
        QFileDialog dialog;
        dialog.setObjectName(QStringLiteral("OpenFileDialog"));
        Configure(dialog, request);
        if (dialog.exec() != QDialog::Accepted) return {};
        QStringList chosen = dialog.selectedFiles();
        for (QString& path : chosen) path = QDir::toNativeSeparators(path);
        return chosen;
    }

    QString ChooseFolder() override {
        QFileDialog dialog;
        dialog.setObjectName(QStringLiteral("FolderDialog"));
        // The same Qt dialog as for files, so it looks and answers alike on every desktop.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setWindowTitle(QStringLiteral("フォルダを追加"));
        if (dialog.exec() != QDialog::Accepted) return QString();
        const QStringList chosen = dialog.selectedFiles();
        return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen.front());
    }
};

}  // namespace

FileDialogService& SystemFileDialog() {
    static QtFileDialogService service;
    return service;
}

}  // namespace tavello
