#pragma once
// Prize pictures decoded ahead of their showing, so that neither the first frame nor a
// roll step waits for a decoder: a batch decoded now on every core, and a queue decoded
// on a thread of its own while the stage runs. Both fill the picture cache
// (decodePictureCached), which stays the GUI thread's.
#include <QImage>
#include <QObject>
#include <QSize>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/picture_data.h"
#include "platform/qt/remembered_decodes.h"

namespace zv {

// One picture and the sizes it is shown at. It is decoded once, for the first size; the
// other sizes are scaled from that decode when it covers them.
struct PictureSizes {
  PictureData picture;
  std::vector<QSize> targets;
};

// A size of a picture still to be decoded.
struct PictureAtSize {
  PictureData picture;
  QSize target;
};

// Decodes the pictures on all cores, the calling thread among them, and returns once all
// are in the cache. Sizes the first decode does not cover are returned, for the queue.
// Call from the GUI thread.
std::vector<PictureAtSize> decodeIntoCacheNow(const std::vector<PictureSizes>& pictures);

// Picture files read and decoded on every core while the caller goes on building the
// stage: the reads first, then a decode of each for a first guess of its size. finish()
// puts the decodes in the cache at the sizes really shown, where they cover them.
class PictureFilesLoading {
 public:
  PictureFilesLoading(std::vector<std::string> paths, QSize firstGuess);
  ~PictureFilesLoading();  // waits for the reads and decodes under way, starts no more
  PictureFilesLoading(const PictureFilesLoading&) = delete;
  PictureFilesLoading& operator=(const PictureFilesLoading&) = delete;

  // The bytes of file i (empty when missing), once read.
  PictureData bytes(std::size_t i);
  // Waits for the decodes, stores them for the sizes they cover and decodes on every
  // core what the first sizes still need, as decodeIntoCacheNow does; returns the rest.
  std::vector<PictureAtSize> finish(const std::vector<PictureSizes>& shown);

 private:
  void work();

  const std::vector<std::string> paths_;
  const QSize firstGuess_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::vector<PictureData> bytes_;
  std::vector<bool> read_;
  std::vector<QImage> decoded_;
  std::vector<std::optional<RememberedKey>> keys_;  // found by the decodes, for finish()
  std::vector<bool> decodedReady_;
  std::size_t nextRead_ = 0, nextDecode_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// Decodes on one thread of its own (leaving the other cores to the stage) and stores
// each decode into the cache from the GUI thread. Destroying it waits for the decode
// under way, if any.
class PictureQueue : public QObject {
 public:
  PictureQueue();
  ~PictureQueue() override;

  // Queued unless the cache holds it already; empty pictures and sizes are skipped.
  void add(const PictureData& picture, QSize target);
  // Whether decodes are queued or under way (for tests and benchmarks).
  bool busy() const;

 private:
  void run();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<PictureAtSize> waiting_;
  int pending_ = 0;  // queued or decoding, until stored
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace zv
