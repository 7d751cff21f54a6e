#pragma once

#include <QString>
#include <QStringList>

class QListWidget;
class QListWidgetItem;

namespace tavello {

// The picture list shows each entry readably but stores it exactly as read or added: a name may
// hold a line feed or another control character, which the list would draw as nothing, yet the
// entry must name the same file when it is written back.

// The entry as the list shows it: each C0 control character and DEL as its visible symbol
// (U+2400 to U+241F, U+2421); every other character as it is.
QString ShownEntryText(const QString& entry);

// Appends items that show the entries readably and keep them unchanged, in one insertion.
void AppendListEntries(QListWidget* list, const QStringList& entries);

// The entry an item stands for, exactly as it was read or added (an item added otherwise: its
// text); "" for no item.
QString ListEntryOf(const QListWidgetItem* item);

}  // namespace tavello
