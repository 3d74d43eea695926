// The backing store touched ahead of the first paint: the frame painted afterwards is the
// window's own, whatever the thread got to, and a window changed or gone right after the
// warm-up is no danger.
#include "platform/qt/backing_store_warm_up.h"

#include <gtest/gtest.h>

#include <QBackingStore>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <memory>

namespace zv {
namespace {

// A colour with no zero byte: a zero the thread wrote after the paint would show.
constexpr QRgb kColour = 0x3366CC;

class Painted : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(kColour)); }
};

int pixelsNotPainted(const QImage& image) {
  int wrong = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) wrong += (line[x] & 0xFFFFFF) != kColour;
  }
  return wrong;
}

TEST(BackingStoreWarmUp, TheFirstFrameIsTheWindowsOwn) {
  Painted window;
  window.setAttribute(Qt::WA_OpaquePaintEvent);
  window.resize(1920, 1080);
  { BackingStoreWarmUp warmUp(window); }
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::qWait(50);
  const auto* image = dynamic_cast<const QImage*>(window.backingStore()->paintDevice());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->size(), QSize(1920, 1080) * window.devicePixelRatio());
  EXPECT_EQ(pixelsNotPainted(image->convertToFormat(QImage::Format_RGB32)), 0);
}

TEST(BackingStoreWarmUp, AWindowResizedOrGoneAfterwardsIsSafe) {
  for (int round = 0; round < 20; ++round) {
    auto window = std::make_unique<Painted>();
    window->resize(1920, 1080);
    { BackingStoreWarmUp warmUp(*window); }
    if (round % 2) {
      window->resize(800, 600);
      window->show();
      QTest::qWait(1);
    }
    window.reset();
  }
  SUCCEED();
}

}  // namespace
}  // namespace zv
