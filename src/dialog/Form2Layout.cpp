// The settings dialog's controls as laid out at design time. Positions and sizes are written in
// twips, as the layout was drawn, and placed at 15 twips to the pixel.

#include "dialog/Form2.h"
#include "dialog/Form2Links.h"
#include "dialog/Form2Resources.h"
#include "settings/SaverSettings.h"
#include "toolkit/AutoSizeLabel.h"
#include "toolkit/ImageControl.h"
#include "toolkit/PictureBox.h"
#include "toolkit/Toolkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace tavello {
namespace {

// The design's client area, and the banner timer's requested interval.
constexpr int kClientWidthTwips = 5685;
constexpr int kClientHeightTwips = 7875;
constexpr int kTimer1IntervalMs = 1;
constexpr int kTextBoxMaxLength = 255;

// The design's fonts are 9 points at the 96 dots per inch the twip layout assumes: 12 pixels.
constexpr int kFontPixels = 12;

int Px(int twips) {
    return twips / kTwipsPerPixel;
}

template <typename W>
W* Make(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
    return widget;
}

// A fixed-font text control font: the design names a Japanese fixed-pitch face; where it is
// missing, a Japanese face of the same kind stands in so no caption turns into boxes.
QFont TextFont(bool underline = false) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                      QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans Mono CJK JP")});
    font.setPixelSize(kFontPixels);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(underline);
    font.setStrikeOut(false);
    return font;
}

// The dialog's own standard font, a proportional Japanese face.
QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPA Pゴシック"), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(kFontPixels);
    return font;
}

AutoSizeLabel* Caption(QWidget* parent, const char* name, const QString& text, int left, int top,
                       int width, int height, bool rightAligned = false) {
    auto* label = Make<AutoSizeLabel>(parent, name, left, top, width, height);
    label->setFont(TextFont());
    label->setAlignment((rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    label->setCaption(text);
    if (rightAligned) {
        // A right-aligned label that sizes itself keeps its right edge where it was drawn.
        label->move(Px(left + width) - label->width(), label->y());
    }
    return label;
}

QLabel* FixedLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                   int width, int height, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* label = Make<QLabel>(parent, name, left, top, width, height);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setText(text);
    return label;
}

AutoSizeLabel* LinkLabel(QWidget* parent, const char* name, const QString& address, int left,
                         int top, int width, int height) {
    auto* label = Make<AutoSizeLabel>(parent, name, left, top, width, height);
    label->setFont(TextFont(true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    label->setCursor(LinkCursor());
    label->setCaption(address);
    return label;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* button = Make<QPushButton>(parent, name, left, top, width, height);
    button->setText(caption);
    button->setFont(TextFont());
    // Enter presses a button only while it has the focus; no button is the dialog's default.
    button->setAutoDefault(true);
    button->setDefault(false);
    return button;
}

QLineEdit* TextBox(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* box = Make<QLineEdit>(parent, name, left, top, width, height);
    box->setFont(TextFont());
    box->setMaxLength(kTextBoxMaxLength);
    return box;
}

QComboBox* Combo(QWidget* parent, const char* name, bool editable, int left, int top, int width,
                 int height) {
    auto* combo = Make<QComboBox>(parent, name, left, top, width, height);
    combo->setFont(TextFont());
    combo->setEditable(editable);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        // Typed text stays as typed: no completion from the list's entries.
        combo->setCompleter(nullptr);
    }
    return combo;
}

}  // namespace

void Form2::BuildControls() {
    setFont(DialogFont());
    setFixedSize(Px(kClientWidthTwips), Px(kClientHeightTwips));
    BuildTopBand();
    BuildTextBand();
    BuildListBand();
    BuildBottomBand();
    SetTabOrder();
}

void Form2::BuildTopBand() {
    Label4 = Caption(this, "Label4", QStringLiteral("スピード:"), 180, 60, 810, 180);
    lblSecond =
        FixedLabel(this, "lblSecond", QStringLiteral("秒"), 960, 60, 480, 180, Qt::AlignRight);
    lblSecond->setFont(TextFont());
    hscSpeed = Make<QScrollBar>(this, "hscSpeed", 180, 300, 1695, 255);
    hscSpeed->setOrientation(Qt::Horizontal);
    hscSpeed->setRange(1, 10);
    hscSpeed->setSingleStep(1);
    hscSpeed->setPageStep(1);
    hscSpeed->setValue(1);
    // The value changes when the thumb is let go, not while it is dragged.
    hscSpeed->setTracking(false);
    // The left arrow key lowers the value, as on a classic scroll bar.
    hscSpeed->setInvertedControls(false);
    hscSpeed->setFocusPolicy(Qt::StrongFocus);

    Label7 = Caption(this, "Label7", QStringLiteral("画像のサイズ"), 2160, 60, 1080, 180);
    cmbPicsize = Combo(this, "cmbPicsize", false, 2100, 300, 1995, 300);
    cmbPicsize->addItems(PicSizeChoices());
    cmbPicsize->setCurrentIndex(-1);
    Label11 = FixedLabel(this, "Label11", QStringLiteral("画像表示方法"), 4320, 60, 1095, 255);
    RndChk = Make<QCheckBox>(this, "RndChk", 4320, 330, 1335, 255);
    RndChk->setText(QStringLiteral("ランダム"));
    RndChk->setChecked(false);

    Label5 = Caption(this, "Label5", QStringLiteral("フォント名"), 180, 660, 900, 180);
    cmbFont = Combo(this, "cmbFont", false, 120, 900, 2895, 300);
    Label6 = Caption(this, "Label6", QStringLiteral("ﾌｫﾝﾄｻｲｽﾞ"), 3300, 660, 720, 180);
    cmbFontsize = Combo(this, "cmbFontsize", true, 3240, 900, 855, 300);
    for (const char* size : {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                             "28", "36", "48", "72"})
        cmbFontsize->addItem(QString::fromLatin1(size));
    cmbFontsize->setCurrentIndex(-1);
    cmbFontsize->setEditText(QString());
}

void Form2::BuildTextBand() {
    Label1 = Caption(this, "Label1", QStringLiteral("見出し"), 180, 1320, 540, 180);
    txtMidashi = TextBox(this, "txtMidashi", 120, 1560, 4815, 270);
    Label2 = Caption(this, "Label2", QStringLiteral("音　楽"), 180, 1920, 540, 180);
    txtMdata = TextBox(this, "txtMdata", 120, 2160, 4815, 270);
    btnMdata = Button(this, "btnMdata", QStringLiteral("検索"), 5040, 2160, 555, 255);
}

void Form2::BuildListBand() {
    Label3 = Caption(this, "Label3", QStringLiteral("画　像"), 180, 2520, 540, 180);
    lstPic = Make<QListWidget>(this, "lstPic", 120, 2760, 4815, 1500);
    lstPic->setFont(TextFont());
    lstPic->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstPic->setSortingEnabled(false);
    lstPic->setUniformItemSizes(true);  // a thousand paths lay out at once
    // Files and folders dropped from a file manager land on the viewport; the menu is ours.
    lstPic->viewport()->setAcceptDrops(true);
    lstPic->setContextMenuPolicy(Qt::CustomContextMenu);
    btnPic = Button(this, "btnPic", QStringLiteral("追加"), 5040, 2760, 555, 255);
    btnDel = Button(this, "btnDel", QStringLiteral("削除"), 5040, 3120, 555, 255);
    Label13 = FixedLabel(this, "Label13", QStringLiteral("Total"), 5040, 3840, 495, 255);
    Totallbl = FixedLabel(this, "Totallbl", QString(), 4920, 4080, 375, 255, Qt::AlignRight);
    Label12 = FixedLabel(this, "Label12", QStringLiteral("枚"), 5310, 4080, 255, 255);
}

void Form2::BuildBottomBand() {
    Picture1 = Make<PictureBox>(this, "Picture1", 120, 4320, 3030, 675);
    Label10 = Caption(this, "Label10", QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"), 3240, 4380, 630, 180);
    Shape1 = Make<QFrame>(this, "Shape1", 3960, 4320, 960, 720);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1 = Make<ImageControl>(this, "Image1", 4680, 4380, 795, 600);
    const QRect drawn = Image1->geometry();
    Image1->setLeft(drawn.x());
    Image1->setTop(drawn.y());
    Image1->setWidth(drawn.width());
    Image1->setHeight(drawn.height());
    Image1->setStretch(false);

    Home = Caption(this, "Home", QStringLiteral("URL:"), 435, 5040, 360, 180, true);
    Label9 = LinkLabel(this, "Label9", HomePageAddress(), 840, 5040, 2700, 180);
    Label9->setAutoFillBackground(true);
    QPalette grey = Label9->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    Label9->setPalette(grey);
    Mail = Caption(this, "Mail", QStringLiteral("E-Mail:"), -120, 5280, 915, 195, true);
    Label8 = LinkLabel(this, "Label8", ContactMailAddress(), 840, 5280, 1800, 180);

    cmdOk = Button(this, "cmdOk", QStringLiteral("OK"), 3900, 5160, 795, 315);
    btnCancel = Button(this, "btnCancel", QStringLiteral("ｷｬﾝｾﾙ"), 4800, 5160, 795, 315);

    // The banner's source: it takes the bitmap's size plus its frame, and lies below the part of
    // the dialog that is shown, where it serves only as a drawing surface.
    Picture2 = Make<PictureBox>(this, "Picture2", 120, 5700, 3030, 2250);
    const QImage banner = BannerBitmap();
    const int frame = Picture2->frameWidth();
    Picture2->resize(banner.width() + 2 * frame, banner.height() + 2 * frame);
    Picture2->setPicture(banner);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(TimerInterval(kTimer1IntervalMs));
}

void Form2::SetTabOrder() {
    // Tab indexes 0 to 31; labels never take the focus, and neither do the picture boxes, whose
    // focus would be invisible (one of them is out of sight).
    QWidget* const order[] = {hscSpeed,   cmbPicsize, RndChk, cmbFont,  cmbFontsize,
                              txtMidashi, txtMdata,   lstPic, btnMdata, btnPic,
                              cmdOk,      btnCancel,  btnDel};
    for (QWidget* w : {static_cast<QWidget*>(Picture1), static_cast<QWidget*>(Picture2),
                       static_cast<QWidget*>(Image1), static_cast<QWidget*>(Shape1)})
        w->setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

}  // namespace tavello
