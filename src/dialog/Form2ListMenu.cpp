// The picture list's context menu (add pictures, add a folder, delete) and the files and
// folders a file manager drops on the list.

#include "dialog/DroppedEntries.h"
#include "dialog/Form2.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <algorithm>

namespace tavello {
namespace {

// A drag is welcome when it carries at least one local file or folder; what it holds beyond
// that is sorted out on the drop.
bool CarriesLocalFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

}  // namespace

void Form2::ShowListMenu(const QPoint& globalPos) {
    auto* menu = new QMenu(lstPic);
    menu->setObjectName(QStringLiteral("lstPicMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("画像を追加..."), this, &Form2::btnPic_Click);
    menu->addAction(QStringLiteral("フォルダを追加..."), this, &Form2::mnuAddFolder_Click);
    QAction* remove = menu->addAction(QStringLiteral("削除"), this, &Form2::btnDel_Click);
    remove->setEnabled(!lstPic->selectedItems().isEmpty());
    menu->popup(globalPos);
}

void Form2::ShowListMenuFromKeyboard() {
    // Next to the current item when there is one, else at the list's top-left corner.
    const QListWidgetItem* current = lstPic->currentItem();
    const QRect at = current ? lstPic->visualItemRect(current) : QRect();
    const QPoint corner = at.isValid() ? at.bottomLeft() : QPoint(0, 0);
    ShowListMenu(lstPic->viewport()->mapToGlobal(corner));
}

bool Form2::lstPic_DragDrop(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (CarriesLocalFiles(drag->mimeData()))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList entries = EntriesForDroppedUrls(drop->mimeData()->urls());
            drop->acceptProposedAction();
            // Added once the drop has finished: the limit's message box must not hold the
            // file manager's drag open.
            QMetaObject::invokeMethod(
                this, [this, entries] { AddEntries(entries); }, Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tavello
