#pragma once
// The window's backing store made and its memory touched ahead of the first paint, on a
// thread of its own. A full-HD window's store is 8 MB, and the first write to each of
// its 2,000 pages is slow (here about 12 ms for all, even after the pages are mapped):
// paid while the first frame is painted, that is on the audience's wait.
class QWidget;

namespace zv {

// Call once the window's size is final; a later change of size only loses the gain. The
// first paint of the window waits for the thread, so no pixel is painted meanwhile.
void warmUpBackingStore(QWidget& window);

}  // namespace zv
