// The scrolling banner and the picture box that shows it.

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QPainter>
#include <QUrl>
#include <set>

#include "dialog/BannerScroller.h"
#include "platform/Shell.h"
#include "toolkit/PictureBox.h"

namespace tavello {
namespace {

constexpr int kWidth = 198;
constexpr int kHeight = 146;

// A banner whose every row has its own colour, so each row can be traced after scrolling.
QRgb RowColour(int row) {
    return qRgb(row, 255 - row, (row * 37) % 256);
}

QImage RowBanner() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) image.setPixel(x, y, RowColour(y));
    return image;
}

// Which source row each surface row shows (checked at both edges of the row), or -1.
std::vector<int> RowsShown(const QImage& surface) {
    std::vector<int> rows;
    for (int y = 0; y < surface.height(); ++y) {
        int found = -1;
        for (int r = 0; r < kHeight; ++r)
            if (surface.pixel(0, y) == RowColour(r) && surface.pixel(kWidth - 1, y) == RowColour(r))
                found = r;
        rows.push_back(found);
    }
    return rows;
}

std::vector<int> RowsShiftedBy(int offset) {
    std::vector<int> rows;
    for (int y = 0; y < kHeight; ++y) rows.push_back((y + offset) % kHeight);
    return rows;
}

TEST(BannerScroller, FirstTickMovesUpOneRowAndWrapsTheTopRowToTheBottom) {
    BannerScroller banner(RowBanner());
    EXPECT_EQ(banner.offset(), 0);
    const QImage& surface = banner.tick(kHeight);
    EXPECT_EQ(banner.offset(), 1);
    EXPECT_EQ(&surface, &banner.surface());
    EXPECT_EQ(RowsShown(surface), RowsShiftedBy(1));
    EXPECT_EQ(surface.pixel(5, kHeight - 1), RowColour(0));
    EXPECT_EQ(surface.pixel(5, 0), RowColour(1));
}

TEST(BannerScroller, OffsetRunsThroughTheBandAndBackToTheStoredPicture) {
    BannerScroller banner(RowBanner());
    for (int tick = 1; tick <= 145; ++tick) {
        banner.tick(kHeight);
        ASSERT_EQ(banner.offset(), tick);
    }
    EXPECT_EQ(RowsShown(banner.surface()), RowsShiftedBy(145));
    banner.tick(kHeight);  // the 146th
    EXPECT_EQ(banner.offset(), 0);
    EXPECT_EQ(banner.surface(), banner.picture());
    banner.tick();
    EXPECT_EQ(banner.offset(), 1);
    EXPECT_EQ(RowsShown(banner.surface()), RowsShiftedBy(1));
}

TEST(BannerScroller, TicksReuseTwoSurfacesEvenWhileOneIsShown) {
    BannerScroller banner(RowBanner());
    std::set<const uchar*> buffers;
    QImage shown;  // what the visible banner holds between ticks
    for (int i = 0; i < 300; ++i) {
        shown = banner.tick();
        buffers.insert(shown.constBits());
    }
    EXPECT_EQ(buffers.size(), 2u);
    EXPECT_EQ(RowsShown(shown), RowsShiftedBy(300 % kHeight));
}

TEST(BannerScroller, AShorterBandWrapsWithinItAndLeavesTheRestAsDrawn) {
    BannerScroller banner(RowBanner());
    for (int i = 0; i < 12; ++i) banner.tick(10);
    EXPECT_EQ(banner.offset(), 2);
    const std::vector<int> rows = RowsShown(banner.surface());
    const std::vector<int> top{2, 3, 4, 5, 6, 7, 8, 9, 0, 1};
    EXPECT_EQ(std::vector<int>(rows.begin(), rows.begin() + 10), top);
    EXPECT_EQ(rows[10], 10);
    EXPECT_EQ(rows[145], 145);
    // A band that shrinks between ticks still leaves the offset inside it.
    for (int i = 0; i < 100; ++i) banner.tick(kHeight);
    const std::vector<int> before = RowsShown(banner.surface());
    banner.tick(7);
    EXPECT_EQ(RowsShown(banner.surface())[100], before[100]);
    EXPECT_GE(banner.offset(), 0);
    EXPECT_LT(banner.offset(), 7);
    banner.tick(0);
    EXPECT_EQ(banner.offset(), 0);
}

QImage Filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class PictureBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        box.resize(60, 40);
        box.show();
    }
    QImage shown() { return box.grab().toImage(); }
    PictureBox box;
};

TEST_F(PictureBoxTest, ShowsThePictureAtTheTopLeftInsideATwoPixelFrame) {
    EXPECT_EQ(box.scaleHeight(), 36);
    EXPECT_EQ(box.scaleWidth(), 56);
    box.setPicture(Filled(QSize(20, 10), Qt::red));
    const QImage screen = shown();
    EXPECT_EQ(screen.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(screen.pixelColor(21, 11), QColor(Qt::red));
    EXPECT_NE(screen.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_NE(screen.pixelColor(22, 2), QColor(Qt::red));
    EXPECT_NE(screen.pixelColor(2, 12), QColor(Qt::red));
}

TEST_F(PictureBoxTest, KeepsWhatIsDrawnWhileOutOfSight) {
    box.setPicture(Filled(QSize(20, 10), Qt::red));
    {
        QPainter painter(&box.image());
        painter.fillRect(QRect(30, 20, 5, 5), Qt::blue);
    }
    box.hide();
    box.resize(70, 50);
    box.show();
    const QImage screen = shown();
    EXPECT_EQ(box.image().pixelColor(32, 22), QColor(Qt::blue));
    EXPECT_EQ(screen.pixelColor(32, 22), QColor(Qt::blue));
    EXPECT_EQ(screen.pixelColor(3, 3), QColor(Qt::red));
}

TEST_F(PictureBoxTest, APictureOfTheSameSizeReusesTheMemory) {
    box.setPicture(Filled(QSize(20, 10), Qt::red));
    const uchar* bits = box.picture().constBits();
    box.setPicture(Filled(QSize(20, 10), Qt::green));
    EXPECT_EQ(box.picture().constBits(), bits);
    EXPECT_EQ(shown().pixelColor(5, 5), QColor(Qt::green));
}

TEST_F(PictureBoxTest, ShowsTheBannerAsItScrolls) {
    BannerScroller banner(RowBanner());
    box.setPicture(banner.tick());
    for (int i = 0; i < 9; ++i) box.setPicture(banner.tick());
    EXPECT_EQ(shown().pixel(2, 2), RowColour(10));
    EXPECT_EQ(shown().pixel(2, 3), RowColour(11));
}

class UrlCatcher : public QObject {
    Q_OBJECT
  public slots:
    void open(const QUrl& url) { opened << url; }

  public:
    QList<QUrl> opened;
};

TEST(SystemShell, OpensAddressesThroughTheDesktop) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    ShellService& shell = SystemShell();
    EXPECT_GT(
        shell.ShellExecuteA(GetDesktopWindow(), QStringLiteral("open"),
                            QStringLiteral("mailto:info@example.org"), nullptr, QString(), SW_SHOW),
        32);
    EXPECT_GT(shell.ShellExecuteA(0, QStringLiteral("open"),
                                  QStringLiteral("https://example.org/tavello/"), nullptr,
                                  QString(), SW_SHOW),
              32);
    // Nothing but "open" means anything here.
    EXPECT_LE(
        shell.ShellExecuteA(0, QStringLiteral("print"), QStringLiteral("https://example.org/"),
                            nullptr, QString(), SW_SHOW),
        32);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(catcher.opened,
              QList<QUrl>({QUrl("mailto:info@example.org"), QUrl("https://example.org/tavello/")}));
}

}  // namespace
}  // namespace tavello

#include "parts_banner_test.moc"
