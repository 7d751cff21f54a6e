#include "dialog/Form2.h"

#include "dialog/BannerScroller.h"
#include "dialog/FirstPictureSearch.h"
#include "dialog/FontSizeRules.h"
#include "dialog/Form2Resources.h"
#include "dialog/ListEntry.h"
#include "platform/MessageBox.h"
#include "settings/Numbers.h"
#include "settings/SettingsFile.h"
#include "toolkit/PictureBox.h"
#include "toolkit/Toolkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace tavello {
namespace {

// The dialog's outer height once loaded, and what the classic title bar and frame take of it:
// the client area that remains (5520 twips) shows everything down to the OK button and keeps
// the banner's source box out of sight.
constexpr int kLoadedOuterHeightTwips = 5895;
constexpr int kClassicFrameTwips = 375;

constexpr int kSpeedMin = 1;
constexpr int kSpeedMax = 10;

// Where a sorted list box would put text: case-insensitive order, ties by exact text.
int SortedPosition(const QComboBox* combo, const QString& text) {
    int low = 0, high = combo->count();
    while (low < high) {
        const int mid = (low + high) / 2;
        const QString item = combo->itemText(mid);
        int order = item.compare(text, Qt::CaseInsensitive);
        if (order == 0) order = item.compare(text, Qt::CaseSensitive);
        if (order < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// Selects the entry whose text is text. A value the list lacks (a face this system does not have,
// a size written by hand) becomes an extra entry at insertAt, so OK writes it back unchanged.
void SelectKeepingUnknown(QComboBox* combo, const QString& text, int insertAt) {
    if (text.isEmpty()) {
        combo->setCurrentIndex(-1);
        return;
    }
    int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        index = insertAt;
        combo->insertItem(index, text);
    }
    combo->setCurrentIndex(index);
}

}  // namespace

Form2::Form2(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(services) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("TAVELLOの設定"));
    setWindowIcon(DialogIcon());
    BuildControls();
    banner_ = std::make_unique<BannerScroller>(Picture2->picture());
    firstPicture_ = std::make_unique<FirstPictureSearch>();
    WireHandlers();
}

Form2::~Form2() = default;

std::int16_t Form2::bannerOffset() const {
    return banner_->offset();
}

void Form2::Form_Load() {
    settingsPath_ = SettingsPath();
    FillFontList();
    settings_ = LoadSettings(settingsPath_);
    AppendListEntries(lstPic, settings_.Pictures);
    SetSpeedFromSettings(settings_.Speed);
    lblSecond->setText(SecondsCaption(hscSpeed->value()));
    setFixedSize(width(), (kLoadedOuterHeightTwips - kClassicFrameTwips) / kTwipsPerPixel);
    SelectFont(settings_.HeadlineFont);
    cmbFontsize->setEditText(settings_.HeadlineSize);
    SelectPicSize(settings_.PicSize);
    SetBoxText(txtMdata, settings_.MusicFile);
    SetBoxText(txtMidashi, settings_.Headline);
    SetRandomFromSettings(settings_.RandomOrder);
    ShowTotal();
    PlaceCentred();
    hscSpeed->setFocus(Qt::OtherFocusReason);
    Timer1->start();
}

void Form2::FillFontList() {
    QStringList fonts = ScreenFonts();
    std::stable_sort(fonts.begin(), fonts.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.compare(b, Qt::CaseSensitive) < 0;
    });
    cmbFont->addItems(fonts);
}

void Form2::SelectFont(const QString& face) {
    // The font list is kept sorted, so an extra face goes where sorting would put it.
    SelectKeepingUnknown(cmbFont, face, SortedPosition(cmbFont, face));
}

void Form2::SelectPicSize(const QString& text) {
    SelectKeepingUnknown(cmbPicsize, text, cmbPicsize->count());
}

void Form2::SetSpeedFromSettings(const QString& speed) {
    double value = LeadingNumber(speed);
    // A hand-edited value beyond the bar's range takes the nearest end of it.
    if (std::isnan(value)) value = kSpeedMin;
    value = std::clamp(value, double(kSpeedMin), double(kSpeedMax));
    hscSpeed->setValue(RoundHalfEven<std::int16_t>(value).value_or(kSpeedMin));
}

void Form2::SetRandomFromSettings(const QString& randomOrder) {
    const std::optional<double> value = StrictNumber(randomOrder);
    RndChk->setChecked(value && *value == 1);
}

void Form2::SetBoxText(QLineEdit* box, const QString& text) {
    // The length limit is for typing; a longer text from the file or the file dialog is kept.
    if (text.size() > box->maxLength()) box->setMaxLength(int(text.size()));
    box->setText(text);
}

void Form2::ShowTotal() {
    Totallbl->setText(QString::number(lstPic->count()));
}

void Form2::PlaceCentred() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize outer(width(), kLoadedOuterHeightTwips / kTwipsPerPixel);
    QRect frame(QPoint(0, 0), outer);
    frame.moveCenter(screen->geometry().center());
    move(frame.topLeft());
}

SaverSettings Form2::SettingsFromControls() const {
    SaverSettings s = settings_;
    s.Speed = QString::number(hscSpeed->value());
    s.HeadlineFont = cmbFont->currentText();
    s.HeadlineSize = cmbFontsize->currentText();
    s.PicSize = cmbPicsize->currentText();
    s.MusicFile = txtMdata->text();
    s.Headline = txtMidashi->text();
    s.RandomOrder = RndChk->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    s.Pictures.clear();
    s.Pictures.reserve(lstPic->count());
    for (int i = 0; i < lstPic->count(); ++i) s.Pictures.append(ListEntryOf(lstPic->item(i)));
    return s;
}

void Form2::cmdOk_Click() {
    // A font size the user has just left is checked before anything is stored.
    if (!RunPendingFontSizeCheck()) return;
    const SaverSettings s = SettingsFromControls();
    const SaveResult result = SaveSettings(settingsPath_, s);
    if (!result.ok) {
        // Nothing was stored: say so and let the user try again or cancel.
        services_.messageBox->MsgBox(
            this, QStringLiteral("設定を保存できませんでした。\n%1").arg(result.error),
            MsgIcon::Critical);
        return;
    }
    settings_ = s;
    Unload();
}

void Form2::btnCancel_Click() {
    // Leaving without storing needs no check of what was typed.
    fontSizeCheckPending_ = false;
    Unload();
}

void Form2::Unload() {
    Timer1->stop();
    firstPicture_->cancel();
    close();
}

}  // namespace tavello
