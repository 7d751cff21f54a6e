#include "dialog/ListEntry.h"

#include <QListWidget>

namespace tavello {
namespace {

constexpr int kEntryRole = Qt::UserRole;

}  // namespace

QString ShownEntryText(const QString& entry) {
    QString shown = entry;
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(char16_t(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7f)
            c = QChar(char16_t(0x2421));
    }
    return shown;
}

void AppendListEntries(QListWidget* list, const QStringList& entries) {
    QStringList shown;
    shown.reserve(entries.size());
    for (const QString& entry : entries) shown.append(ShownEntryText(entry));
    const int first = list->count();
    list->addItems(shown);
    for (int i = 0; i < entries.size(); ++i) list->item(first + i)->setData(kEntryRole, entries[i]);
}

QString ListEntryOf(const QListWidgetItem* item) {
    if (!item) return {};
    // An item put in by other means than the functions above stands for its text.
    const QVariant entry = item->data(kEntryRole);
    return entry.isValid() ? entry.toString() : item->text();
}

}  // namespace tavello
