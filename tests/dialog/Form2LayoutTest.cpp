// The settings dialog as laid out: every control's kind, place, caption, font and tab order, the
// window's frame, and the resources it shows.

#include "DialogTestKit.h"
#include "dialog/Form2Links.h"
#include "dialog/Form2Resources.h"
#include "toolkit/ImageControl.h"
#include "toolkit/PictureBox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRawFont>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QtEndian>

namespace tavello::test {
namespace {

enum class Size { Fixed, FitsText, FitsTextRightAligned };

struct ControlRow {
    const char* name;
    const char* kind;              // the Qt class the control must be
    QString caption;               // null: the control shows no caption of its own
    int left, top, width, height;  // twips
    Size size;
};

// The layout as drawn, in twips.
const std::vector<ControlRow>& Layout() {
    static const std::vector<ControlRow> rows = {
        {"Label4", "QLabel", QStringLiteral("スピード:"), 180, 60, 810, 180, Size::FitsText},
        {"lblSecond", "QLabel", {}, 960, 60, 480, 180, Size::Fixed},
        {"hscSpeed", "QScrollBar", {}, 180, 300, 1695, 255, Size::Fixed},
        {"Label7", "QLabel", QStringLiteral("画像のサイズ"), 2160, 60, 1080, 180, Size::FitsText},
        {"cmbPicsize", "QComboBox", {}, 2100, 300, 1995, 300, Size::Fixed},
        {"Label11", "QLabel", QStringLiteral("画像表示方法"), 4320, 60, 1095, 255, Size::Fixed},
        {"RndChk", "QCheckBox", QStringLiteral("ランダム"), 4320, 330, 1335, 255, Size::Fixed},
        {"Label5", "QLabel", QStringLiteral("フォント名"), 180, 660, 900, 180, Size::FitsText},
        {"cmbFont", "QComboBox", {}, 120, 900, 2895, 300, Size::Fixed},
        {"Label6", "QLabel", QStringLiteral("ﾌｫﾝﾄｻｲｽﾞ"), 3300, 660, 720, 180, Size::FitsText},
        {"cmbFontsize", "QComboBox", {}, 3240, 900, 855, 300, Size::Fixed},
        {"Label1", "QLabel", QStringLiteral("見出し"), 180, 1320, 540, 180, Size::FitsText},
        {"txtMidashi", "QLineEdit", {}, 120, 1560, 4815, 270, Size::Fixed},
        {"Label2", "QLabel", QStringLiteral("音　楽"), 180, 1920, 540, 180, Size::FitsText},
        {"txtMdata", "QLineEdit", {}, 120, 2160, 4815, 270, Size::Fixed},
        {"btnMdata", "QPushButton", QStringLiteral("検索"), 5040, 2160, 555, 255, Size::Fixed},
        {"Label3", "QLabel", QStringLiteral("画　像"), 180, 2520, 540, 180, Size::FitsText},
        {"lstPic", "QListWidget", {}, 120, 2760, 4815, 1500, Size::Fixed},
        {"btnPic", "QPushButton", QStringLiteral("追加"), 5040, 2760, 555, 255, Size::Fixed},
        {"btnDel", "QPushButton", QStringLiteral("削除"), 5040, 3120, 555, 255, Size::Fixed},
        {"Label13", "QLabel", QStringLiteral("Total"), 5040, 3840, 495, 255, Size::Fixed},
        {"Totallbl", "QLabel", {}, 4920, 4080, 375, 255, Size::Fixed},
        {"Label12", "QLabel", QStringLiteral("枚"), 5310, 4080, 255, 255, Size::Fixed},
        {"Picture1", "tavello::PictureBox", {}, 120, 4320, 3030, 675, Size::Fixed},
        {"Label10", "QLabel", QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"), 3240, 4380, 630, 180, Size::FitsText},
        {"Shape1", "QFrame", {}, 3960, 4320, 960, 720, Size::Fixed},
        {"Image1", "tavello::ImageControl", {}, 4680, 4380, 795, 600, Size::Fixed},
        {"Home", "QLabel", QStringLiteral("URL:"), 435, 5040, 360, 180, Size::FitsTextRightAligned},
        {"Label9", "QLabel", HomePageAddress(), 840, 5040, 2700, 180, Size::FitsText},
        {"Mail", "QLabel", QStringLiteral("E-Mail:"), -120, 5280, 915, 195,
         Size::FitsTextRightAligned},
        {"Label8", "QLabel", ContactMailAddress(), 840, 5280, 1800, 180, Size::FitsText},
        {"cmdOk", "QPushButton", QStringLiteral("OK"), 3900, 5160, 795, 315, Size::Fixed},
        {"btnCancel", "QPushButton", QStringLiteral("ｷｬﾝｾﾙ"), 4800, 5160, 795, 315, Size::Fixed},
        {"Picture2", "tavello::PictureBox", {}, 120, 5700, 3030, 2250, Size::Fixed},
    };
    return rows;
}

QString CaptionOf(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    return QString();
}

// Controls whose text is drawn in the dialog's own font rather than the fixed Japanese one.
bool UsesDialogFont(const QString& name) {
    return QStringList{"RndChk", "Label11", "Label12", "Label13", "Totallbl"}.contains(name);
}

using LayoutTest = DialogTest;

TEST_F(LayoutTest, EveryControlHasItsKindPlaceAndCaption) {
    open();
    for (const ControlRow& row : Layout()) {
        SCOPED_TRACE(row.name);
        QWidget* w = control(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(row.kind)) << w->metaObject()->className();
        if (!row.caption.isNull()) {
            EXPECT_EQ(CaptionOf(w), row.caption);
        }
        const QRect drawn(row.left / 15, row.top / 15, row.width / 15, row.height / 15);
        const QRect g = w->geometry();
        switch (row.size) {
            case Size::Fixed:
                EXPECT_EQ(g, drawn);
                break;
            case Size::FitsText:
                EXPECT_EQ(g.topLeft(), drawn.topLeft());
                EXPECT_EQ(g.size(), w->sizeHint());
                break;
            case Size::FitsTextRightAligned:
                EXPECT_EQ(g.right(), drawn.right());
                EXPECT_EQ(g.top(), drawn.top());
                EXPECT_EQ(g.size(), w->sizeHint());
                EXPECT_GE(g.left(), 0) << "the caption must stay fully visible";
                break;
        }
    }
}

TEST_F(LayoutTest, HalfWidthAndIdeographicCharactersAreExact) {
    open();
    const auto halfWidthKatakana = [](const QString& s) {
        return std::all_of(s.begin(), s.end(),
                           [](QChar c) { return c >= u'\uFF61' && c <= u'\uFF9F'; });
    };
    EXPECT_TRUE(halfWidthKatakana(CaptionOf(control("btnCancel"))));
    EXPECT_TRUE(halfWidthKatakana(CaptionOf(control("Label10"))));
    EXPECT_TRUE(halfWidthKatakana(CaptionOf(control("Label6"))));
    EXPECT_EQ(CaptionOf(control("Label2")), QString::fromUtf16(u"\u97F3\u3000\u697D"));
    EXPECT_EQ(CaptionOf(control("Label3")), QString::fromUtf16(u"\u753B\u3000\u50CF"));
    EXPECT_EQ(control<QComboBox>("cmbPicsize")->itemText(7), QStringLiteral("画面の大きさに調整"));
}

TEST_F(LayoutTest, ListsRangesAndTimer) {
    open();
    const auto items = [](const QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
        return out;
    };
    auto* picsize = control<QComboBox>("cmbPicsize");
    EXPECT_FALSE(picsize->isEditable());
    EXPECT_EQ(items(picsize), (QStringList{"400%", "200%", "150%", "100%", "75%", "50%", "25%",
                                           QStringLiteral("画面の大きさに調整")}));
    auto* fontsize = control<QComboBox>("cmbFontsize");
    EXPECT_TRUE(fontsize->isEditable());
    EXPECT_EQ(items(fontsize), (QStringList{"8", "9", "10", "11", "12", "14", "16", "18", "20",
                                            "22", "24", "26", "28", "36", "48", "72"}));
    EXPECT_FALSE(control<QComboBox>("cmbFont")->isEditable());

    auto* speed = control<QScrollBar>("hscSpeed");
    EXPECT_EQ(speed->orientation(), Qt::Horizontal);
    EXPECT_EQ(speed->minimum(), 1);
    EXPECT_EQ(speed->maximum(), 10);
    EXPECT_EQ(speed->singleStep(), 1);
    EXPECT_EQ(speed->pageStep(), 1);

    auto* list = control<QListWidget>("lstPic");
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_EQ(control<QLineEdit>("txtMidashi")->maxLength(), 255);
    EXPECT_EQ(control<QLineEdit>("txtMdata")->maxLength(), 255);

    // A 1 ms request keeps the classic platform's floor of about 64 ticks a second.
    auto* timer = form_->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_GE(timer->interval(), 15);
    EXPECT_LE(timer->interval(), 16);
}

TEST_F(LayoutTest, NothingIsFilledBeforeLoading) {
    form_ = std::make_unique<Form2>(services_);
    EXPECT_EQ(control<QComboBox>("cmbFont")->count(), 0);
    EXPECT_EQ(control<QListWidget>("lstPic")->count(), 0);
    EXPECT_EQ(control<QScrollBar>("hscSpeed")->value(), 1);
    EXPECT_FALSE(control<QCheckBox>("RndChk")->isChecked());
    EXPECT_EQ(form_->size(), QSize(379, 525));  // the whole design, 5685 x 7875 twips
}

TEST_F(LayoutTest, WindowFrameCaptionAndPlace) {
    open();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("TAVELLOの設定"));
    const Qt::WindowFlags flags = form_->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form_->minimumSize(), form_->maximumSize()) << "not resizable";
    // Cut to 5895 twips outside, 5520 inside: the banner's source box lies below the client area.
    EXPECT_EQ(form_->size(), QSize(379, 368));
    EXPECT_GE(control("Picture2")->y(), form_->height());
    EXPECT_LE(control("cmdOk")->geometry().bottom(), form_->height());
    EXPECT_LE(control("Label8")->geometry().bottom(), form_->height());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form_->x(), screen.x() + (screen.width() - 379) / 2);
    EXPECT_EQ(form_->y(), screen.y() + (screen.height() - 393) / 2);
    EXPECT_TRUE(form_->windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(LayoutTest, TabOrderStartsAtTheSpeedBarAndSkipsLabels) {
    open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    EXPECT_EQ(QApplication::focusWidget(), control("hscSpeed"));
    const QStringList expected{"cmbPicsize", "RndChk", "cmbFont",  "cmbFontsize", "txtMidashi",
                               "txtMdata",   "lstPic", "btnMdata", "btnPic",      "cmdOk",
                               "btnCancel",  "btnDel", "hscSpeed"};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // An editable combo box's inner edit field stands for the box.
        if (focus && qobject_cast<QComboBox*>(focus->parentWidget())) focus = focus->parentWidget();
        visited << (focus ? focus->objectName() : QStringLiteral("(none)"));
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(LayoutTest, CaptionFontsAreJapaneseFacesThatHoldEveryCharacter) {
    open();
    for (const ControlRow& row : Layout()) {
        if (row.caption.isNull()) continue;
        SCOPED_TRACE(row.name);
        QWidget* w = control(row.name);
        const QFont font = w->font();
        EXPECT_EQ(font.families().value(0), UsesDialogFont(row.name)
                                                ? QStringLiteral("ＭＳ Ｐゴシック")
                                                : QStringLiteral("ＭＳ ゴシック"));
        EXPECT_EQ(font.pixelSize(), 12);  // 9 points at 96 dots per inch
        EXPECT_EQ(font.weight(), QFont::Normal);
        EXPECT_FALSE(font.italic());
        EXPECT_FALSE(font.strikeOut());
        EXPECT_EQ(font.underline(),
                  row.name == std::string("Label8") || row.name == std::string("Label9"));
        const QFontMetrics metrics(font);
        // The face actually chosen, without per-character fallback, must hold every character.
        const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::Japanese);
        for (const QChar c : row.caption) {
            EXPECT_TRUE(metrics.inFontUcs4(c.unicode())) << QString(c).toStdString();
            EXPECT_TRUE(raw.supportsCharacter(c))
                << QString(c).toStdString() << " in " << QFontInfo(font).family().toStdString();
        }
    }
}

TEST_F(LayoutTest, LinkLabelsAreBlueWithTheLinkCursor) {
    open();
    for (const char* name : {"Label8", "Label9"}) {
        SCOPED_TRACE(name);
        auto* label = control<QLabel>(name);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        EXPECT_EQ(label->cursor().hotSpot(), QPoint(15, 12));
        EXPECT_EQ(label->cursor().pixmap().size(), QSize(32, 32));
    }
    EXPECT_EQ(control("Label9")->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_TRUE(control("Label9")->autoFillBackground());
}

TEST_F(LayoutTest, NoLabelReadsItsTextAsMarkup) {
    open();
    const QList<QLabel*> labels = form_->findChildren<QLabel*>();
    ASSERT_GE(labels.size(), 15);
    for (const QLabel* label : labels)
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

TEST_F(LayoutTest, EnterPressesOnlyAFocusedButtonAndEscapeDoesNothing) {
    open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    for (const char* name : {"txtMidashi", "lstPic", "hscSpeed", "RndChk"}) {
        control(name)->setFocus();
        QTest::keyClick(control(name), Qt::Key_Return);
        QTest::keyClick(control(name), Qt::Key_Enter);
        QTest::keyClick(control(name), Qt::Key_Escape);
    }
    EXPECT_TRUE(form_->isVisible());
    EXPECT_FALSE(QFile::exists(settingsFile()));

    control("cmdOk")->setFocus();
    QTest::keyClick(control("cmdOk"), Qt::Key_Return);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(QFile::exists(settingsFile()));
}

TEST_F(LayoutTest, BannerBitmapIsHeldOutOfSight) {
    open();
    auto* picture2 = control<PictureBox>("Picture2");
    EXPECT_EQ(picture2->picture().size(), QSize(198, 146));
    EXPECT_EQ(picture2->scaleHeight(), 146);
    EXPECT_EQ(control<PictureBox>("Picture1")->scaleWidth(), 198);
    EXPECT_EQ(control<PictureBox>("Picture1")->scaleHeight(), 41);
}

TEST(DialogResources, FilesHaveTheFixedFormats) {
    const QByteArray icon = DialogIconFile();
    ASSERT_EQ(icon.size(), 766);
    const auto word = [](const QByteArray& b, int at) {
        return qFromLittleEndian<quint16>(b.constData() + at);
    };
    const auto dword = [](const QByteArray& b, int at) {
        return qFromLittleEndian<quint32>(b.constData() + at);
    };
    EXPECT_EQ(word(icon, 2), 1);  // icon
    EXPECT_EQ(word(icon, 4), 1);  // one image
    EXPECT_EQ(icon[6], 32);
    EXPECT_EQ(icon[7], 32);
    EXPECT_EQ(icon[8], 16);             // colours
    EXPECT_EQ(word(icon, 22 + 14), 4);  // bits per pixel
    const QImage iconImage = QImage::fromData(icon, "ICO");
    EXPECT_EQ(iconImage.size(), QSize(32, 32));

    const QByteArray bmp = BannerBitmapFile();
    ASSERT_EQ(bmp.size(), 87070);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(dword(bmp, 10), 54u);
    EXPECT_EQ(static_cast<qint32>(dword(bmp, 18)), 198);
    EXPECT_EQ(static_cast<qint32>(dword(bmp, 22)), 146);
    EXPECT_EQ(word(bmp, 28), 24);
    EXPECT_EQ(dword(bmp, 30), 0u);  // uncompressed
    EXPECT_EQ(BannerBitmap().size(), QSize(198, 146));

    const QByteArray cur = LinkCursorFile();
    ASSERT_GE(cur.size(), 22);
    EXPECT_EQ(word(cur, 2), 2);  // cursor
    EXPECT_EQ(cur[6], 32);
    EXPECT_EQ(cur[7], 32);
    EXPECT_EQ(word(cur, 10), 15);  // hot spot
    EXPECT_EQ(word(cur, 12), 12);
    EXPECT_EQ(word(cur, 22 + 14), 1);  // two colours
    const std::optional<CursorPicture> picture = ReadCursorFile(cur);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->hotSpot, QPoint(15, 12));
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) colours.insert(picture->image.pixel(x, y));
    EXPECT_EQ(colours, (QSet<QRgb>{qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    // The hot spot is on the drawing (the fingertip), not on a transparent pixel.
    EXPECT_EQ(qAlpha(picture->image.pixel(15, 12)), 255);
}

TEST(DialogResources, CursorReaderRefusesOtherFiles) {
    EXPECT_FALSE(ReadCursorFile(QByteArray()));
    EXPECT_FALSE(ReadCursorFile(DialogIconFile()));  // an icon, not a cursor
    QByteArray truncated = LinkCursorFile();
    truncated.chop(100);
    EXPECT_FALSE(ReadCursorFile(truncated));
}

}  // namespace
}  // namespace tavello::test
