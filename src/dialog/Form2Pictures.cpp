// The picture list, its preview, the music file button and the scrolling banner.

#include "dialog/BannerScroller.h"
#include "dialog/FirstPictureSearch.h"
#include "dialog/Form2.h"
#include "dialog/ListEntry.h"
#include "dialog/PreviewFit.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "settings/FolderEntry.h"
#include "settings/PictureFormats.h"
#include "toolkit/ImageControl.h"
#include "toolkit/Picture.h"
#include "toolkit/PictureBox.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <cmath>

namespace tavello {
namespace {

constexpr int kMaxPictures = 1000;

// The size a preview picture is decoded at: its shown size, whole pixels rounded up.
QSize ShownSize(const PreviewGeometry& fit) {
    return QSize(std::max(1, int(std::ceil(fit.width))), std::max(1, int(std::ceil(fit.height))));
}

// The picture as the preview in frame shows it; nothing when it cannot be shown there.
std::optional<LoadedPicture> LoadPreview(const QString& path, const QRectF& frame) {
    // The picture's own size comes from its header, so the file is decoded only at the small
    // size the preview shows it at.
    const std::optional<QSize> ownSize = ReadPictureSize(path);
    const std::optional<PreviewGeometry> wanted =
        ownSize ? FitPreview(frame, ownSize->width(), ownSize->height()) : std::nullopt;
    std::optional<LoadedPicture> picture =
        wanted ? LoadPicture(path, ShownSize(*wanted)) : std::nullopt;
    if (!picture || picture->empty) return std::nullopt;
    return picture;
}

}  // namespace

void Form2::btnPic_Click() {
    const QStringList chosen = ChoosePictureFiles(*services_.fileDialog, PictureExtensions());
    if (chosen.isEmpty()) return;
    AddEntries(chosen);
}

// Every way of adding (button, menu, drop) comes here, so the limit holds for all of them.
void Form2::AddEntries(const QStringList& entries) {
    for (const QString& entry : entries) {
        if (lstPic->count() >= kMaxPictures) {
            services_.messageBox->MsgBox(this, QStringLiteral("画像は1000までです。"),
                                         MsgIcon::Critical);
            break;
        }
        AppendListEntries(lstPic, {entry});
    }
    ShowTotal();
}

void Form2::mnuAddFolder_Click() {
    const QString folder = services_.fileDialog->ChooseFolder();
    if (!folder.isEmpty()) AddEntries({FolderEntryFor(folder)});
}

void Form2::btnDel_Click() {
    firstPicture_->cancel();
    {
        // Removing items moves the selection; the preview is cleared below instead of loading
        // every picture that becomes current on the way.
        const QSignalBlocker quiet(lstPic);
        for (int i = lstPic->count() - 1; i >= 0; --i)
            if (lstPic->item(i)->isSelected()) delete lstPic->takeItem(i);
    }
    lstPic->viewport()->update();
    Image1->clearPicture();
    ShowTotal();
}

bool Form2::lstPic_KeyDown(QKeyEvent* event) {
    const Qt::KeyboardModifiers shift =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() != Qt::Key_A || shift != Qt::ControlModifier) return false;
    SelectingAll_ = true;
    for (int i = 0; i < lstPic->count(); ++i) lstPic->item(i)->setSelected(true);
    SelectingAll_ = false;
    return true;
}

void Form2::ClearPreview() {
    Image1->clearPicture();
}

void Form2::lstPic_Click() {
    firstPicture_->cancel();
    if (SelectingAll_) {
        ClearPreview();
        return;
    }
    const QString entry = ListEntryOf(lstPic->currentItem());
    if (!IsFolderEntry(entry)) {
        ShowPreview(entry);
        return;
    }
    // A folder may hold thousands of files on a slow disk: its first picture is looked for in
    // the background, and the preview stays empty until it is found. As the show passes over
    // pictures it cannot read, so does the search.
    Image1->setVisible(false);
    ClearPreview();
    firstPicture_->start(entry, [frame = QRectF(Shape1->geometry())](const QString& path) {
        return LoadPreview(path, frame).has_value();
    });
}

void Form2::FirstPictureFound(const QString& entry, const QString& picture) {
    const QListWidgetItem* current = lstPic->currentItem();
    if (SelectingAll_ || !current || ListEntryOf(current) != entry) return;
    ShowPreview(picture);
}

void Form2::ShowPreview(const QString& path) {
    Image1->setVisible(false);
    Image1->setStretch(false);
    const QRect frame = Shape1->geometry();
    Image1->setLeft(frame.left());
    Image1->setTop(frame.top());
    const std::optional<LoadedPicture> picture = LoadPreview(path, QRectF(frame));
    if (!picture) {
        ClearPreview();  // stays hidden until a later picture loads
        return;
    }
    Image1->setPicture(*picture);
    const std::optional<PreviewGeometry> fit =
        FitPreview(QRectF(frame), int(Image1->Width()), int(Image1->Height()));
    if (!fit) {
        ClearPreview();
        return;
    }
    Image1->setWidth(fit->width);
    Image1->setHeight(fit->height);
    Image1->setLeft(fit->left);
    Image1->setTop(fit->top);
    Image1->setStretch(true);
    Image1->setVisible(true);
}

void Form2::Timer1_Timer() {
    Picture1->setPicture(banner_->tick(Picture2->scaleHeight()));
}

void Form2::btnMdata_Click() {
    const QString path = ChooseMusicFile(*services_.fileDialog);
    if (!path.isEmpty()) SetBoxText(txtMdata, path);
}

}  // namespace tavello
