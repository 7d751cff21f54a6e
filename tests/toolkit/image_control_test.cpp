#include "picture_samples.h"
#include "toolkit/ImageControl.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

namespace tavello {
namespace {

using namespace test::samples;

// A window that records the mouse input it receives itself.
class RecordingWindow : public QWidget {
  public:
    RecordingWindow() {
        setMouseTracking(true);
        setAutoFillBackground(true);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        resize(400, 300);
    }
    QList<QPoint> presses, moves;

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        presses.append(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override { moves.append(event->position().toPoint()); }
};

LoadedPicture Picture(QSize own, QSize decoded) {
    return LoadedPicture{HalvesPicture(decoded), own, false};
}

TEST(ImageControlTest, WithoutStretchTakesThePicturesOwnSize) {
    RecordingWindow window;
    ImageControl image(&window);
    image.setLeft(10);
    image.setTop(20);
    // A picture decoded at reduced scale still reports and takes its own size.
    image.setPicture(Picture(QSize(200, 100), QSize(50, 25)));
    EXPECT_EQ(image.Width(), 200);
    EXPECT_EQ(image.Height(), 100);
    EXPECT_EQ(image.geometry(), QRect(10, 20, 200, 100));

    // The empty picture leaves the size as it was and draws nothing.
    image.clearPicture();
    EXPECT_FALSE(image.hasPicture());
    EXPECT_EQ(image.geometry(), QRect(10, 20, 200, 100));
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixel(50, 50), qRgb(0, 0, 0));
}

TEST(ImageControlTest, StretchDrawsThePictureAtTheControlsSize) {
    RecordingWindow window;
    ImageControl image(&window);
    image.setPicture(Picture(QSize(100, 50), QSize(100, 50)));
    image.setStretch(true);
    image.setWidth(300);
    image.setHeight(200);
    EXPECT_EQ(image.size(), QSize(300, 200));
    const QImage shot = window.grab().toImage();
    EXPECT_TRUE(IsReddish(shot.pixel(5, 195)));
    EXPECT_TRUE(IsReddish(shot.pixel(140, 100)));
    EXPECT_TRUE(IsBluish(shot.pixel(160, 100)));
    EXPECT_TRUE(IsBluish(shot.pixel(295, 5)));
    EXPECT_EQ(shot.pixel(305, 100), qRgb(0, 0, 0));

    // Turning stretch off again gives the control its picture's size back.
    image.setStretch(false);
    EXPECT_EQ(image.size(), QSize(100, 50));
}

TEST(ImageControlTest, KeepsFractionalGeometryAndPlacesAtTheNearestPixel) {
    RecordingWindow window;
    ImageControl image(&window);
    image.setStretch(true);
    const struct {
        double value;
        int placed;
    } cases[] = {{10.5, 10}, {11.5, 12}, {10.4, 10}, {-3.6, -4}, {0.0, 0}};
    for (const auto& c : cases) {
        image.setLeft(c.value);
        image.setTop(c.value + 1);
        image.setWidth(c.value + 100);
        image.setHeight(c.value + 50);
        EXPECT_EQ(image.Left(), c.value);
        EXPECT_EQ(image.Top(), c.value + 1);
        EXPECT_EQ(image.Width(), c.value + 100);
        EXPECT_EQ(image.Height(), c.value + 50);
        EXPECT_EQ(image.x(), c.placed) << c.value;
        EXPECT_EQ(image.width(), c.placed + 100) << c.value;
    }
}

TEST(ImageControlTest, DisabledImagePassesMouseInputToItsWindow) {
    RecordingWindow window;
    ImageControl image(&window);
    image.setPicture(Picture(QSize(100, 80), QSize(100, 80)));
    image.setLeft(50);
    image.setTop(40);
    image.setEnabled(false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Delivered to the control itself...
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&image, QPoint(20, 30));
    // ...and as the window system delivers it, at a point over the control.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(70, 70));
    QTest::mouseMove(window.windowHandle(), QPoint(80, 90));

    EXPECT_EQ(window.presses, (QList<QPoint>{QPoint(60, 50), QPoint(70, 70)}));
    ASSERT_FALSE(window.moves.isEmpty());
    EXPECT_TRUE(window.moves.contains(QPoint(70, 70)));
    EXPECT_EQ(window.moves.last(), QPoint(80, 90));
    EXPECT_TRUE(image.testAttribute(Qt::WA_TransparentForMouseEvents));
    image.setEnabled(true);
    EXPECT_FALSE(image.testAttribute(Qt::WA_TransparentForMouseEvents));
}

}  // namespace
}  // namespace tavello
