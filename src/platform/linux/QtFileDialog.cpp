#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "platform/FileDialog.h"

namespace tavello {

namespace {

const QChar kNul(u'\0');

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

// lpstrFilter holds "description NUL patterns NUL" pairs (patterns separated by ';') and ends
// at an empty description.
QStringList NameFilters(const QString& lpstrFilter) {
    const QStringList pieces = lpstrFilter.split(kNul);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < pieces.size() && !pieces[i].isEmpty(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : pieces[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << CaseInsensitivePattern(pattern.trimmed());
        filters << pieces[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QString TextBeforeNul(const QString& text) {
    return text.section(kNul, 0, 0);
}

void Configure(QFileDialog& dialog, const OPENFILENAME& ofn) {
    // Qt's own dialog everywhere, so the answer and the pattern matching are the same on every
    // desktop; the description is shown as written, without the generated pattern list.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((ofn.Flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                                                          : QFileDialog::ExistingFile);
    const QStringList filters = NameFilters(ofn.lpstrFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype index = ofn.nFilterIndex >= 1 ? ofn.nFilterIndex - 1 : 0;
        dialog.selectNameFilter(filters.value(index, filters.front()));
    }
    const QString title = TextBeforeNul(ofn.lpstrTitle);
    if (!title.isEmpty()) dialog.setWindowTitle(title);
    const QString folder = TextBeforeNul(ofn.lpstrInitialDir);
    if (!folder.isEmpty()) dialog.setDirectory(folder);
}

class QtFileDialogService final : public FileDialogService {
  public:
    std::int32_t GetOpenFileNameA(OPENFILENAME& ofn) override {
        QFileDialog dialog;
        dialog.setObjectName(QStringLiteral("OpenFileDialog"));
        Configure(dialog, ofn);
        if (dialog.exec() != QDialog::Accepted) return 0;
        QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) return 0;
        for (QString& path : chosen) path = QDir::toNativeSeparators(path);
        WriteExplorerAnswer(ofn, chosen, FolderSeparator());
        return 1;
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

QChar FolderSeparator() {
    return u'/';
}

FileDialogService& SystemFileDialog() {
    static QtFileDialogService service;
    return service;
}

}  // namespace tavello
