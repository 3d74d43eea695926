// The backing store made ready ahead of the first paint: every page is ready when the
// warm-up ends, the frame painted afterwards is the window's own, and a window changed or
// gone right after the warm-up is no danger.
#include "platform/qt/backing_store_warm_up.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QBackingStore>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

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

// Pages of the image's memory that are in memory now, and all its whole pages.
std::pair<std::size_t, std::size_t> residentPages(const QImage& image) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto bits = reinterpret_cast<std::uintptr_t>(image.constBits());
  const std::uintptr_t start = (bits + page - 1) & ~(page - 1);
  const std::uintptr_t end =
      (bits + static_cast<std::uintptr_t>(image.sizeInBytes())) & ~(page - 1);
  std::vector<unsigned char> states((end - start) / page);
  if (::mincore(reinterpret_cast<void*>(start), end - start, states.data()) != 0) return {0, 1};
  std::size_t resident = 0;
  for (const unsigned char state : states) resident += state & 1;
  return {resident, states.size()};
}

TEST(BackingStoreWarmUp, EveryPageIsReadyWhenTheWarmUpEnds) {
  // Ended at once: the pages the thread has not reached are prepared by the ending.
  Painted window;
  window.resize(1920, 1080);
  const QImage* image = nullptr;
  {
    BackingStoreWarmUp warmUp(window);
    image = dynamic_cast<const QImage*>(window.backingStore()->paintDevice());
  }
  ASSERT_NE(image, nullptr);
  const auto [resident, all] = residentPages(*image);
  EXPECT_EQ(resident, all);
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
