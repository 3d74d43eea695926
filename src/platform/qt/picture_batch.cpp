#include "platform/qt/picture_batch.h"

#include <algorithm>
#include <optional>

#include "platform/all_cores.h"
#include "platform/files.h"
#include "platform/qt/picture.h"
#include "platform/qt/remembered_decodes.h"

namespace zv {

namespace {

bool usable(QSize target) { return target.isValid() && !target.isEmpty(); }

bool covers(const QImage& decoded, QSize target) {
  return decoded.width() >= target.width() && decoded.height() >= target.height();
}

// One picture at its sizes, made on any thread.
struct PreparedSizes {
  std::vector<QImage> images;  // one per target; null when left for later
  std::vector<bool> made;
};

// What the early loader made of a picture: a decode for a guessed size (null when none)
// and the picture's key, when it had to find that (hashing it again costs milliseconds).
struct EarlyWork {
  const QImage* decoded = nullptr;
  const RememberedKey* key = nullptr;
};

// The picture at each of its sizes: kept from an earlier run where possible, else fitted
// from early's decode where that covers the size, else from a decode for the first size.
// Sizes none of these covers are left for later.
PreparedSizes prepareSizes(const PictureSizes& job, EarlyWork early) {
  PreparedSizes result;
  result.images.resize(job.targets.size());
  result.made.assign(job.targets.size(), false);
  const RememberedKey key = early.key ? *early.key : rememberedKey(job.picture.view());
  bool missing = false;
  for (std::size_t t = 0; t < job.targets.size(); ++t) {
    if (!usable(job.targets[t])) continue;
    result.images[t] = recallPicture(key, job.targets[t], Remembered::Fitted);
    result.made[t] = !result.images[t].isNull();
    missing = missing || !result.made[t];
  }
  if (!missing) return result;

  QImage decoded = early.decoded ? *early.decoded : QImage();
  bool decodedForFirst = false;
  if (!result.made[0] && (decoded.isNull() || !covers(decoded, job.targets[0]))) {
    decoded = decodePictureRemembered(key, job.picture.view(), job.targets[0]);
    decodedForFirst = true;
  }
  for (std::size_t t = 0; t < job.targets.size(); ++t) {
    const QSize target = job.targets[t];
    if (result.made[t] || !usable(target)) continue;
    // The first size is made even from a failed decode: an unreadable picture is then
    // known as such and not decoded again at every showing.
    if ((t == 0 && decodedForFirst) || (!decoded.isNull() && covers(decoded, target))) {
      result.images[t] = fitPictureToTarget(decoded, target);
      result.made[t] = true;
      rememberPicture(key, target, Remembered::Fitted, result.images[t]);
    }
  }
  return result;
}

// Prepares every job on all cores, then (on the GUI thread) stores what was made and
// returns the sizes left for later.
std::vector<PictureAtSize> prepareIntoCache(const std::vector<const PictureSizes*>& jobs,
                                            const std::vector<EarlyWork>& early) {
  std::vector<PreparedSizes> results(jobs.size());
  onAllCores(jobs.size(), [&](std::size_t i) { results[i] = prepareSizes(*jobs[i], early[i]); });
  std::vector<PictureAtSize> later;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    for (std::size_t t = 0; t < jobs[i]->targets.size(); ++t) {
      const QSize target = jobs[i]->targets[t];
      if (results[i].made[t]) {
        storeCachedPicture(jobs[i]->picture, target, results[i].images[t]);
      } else if (usable(target)) {
        later.push_back({jobs[i]->picture, target});
      }
    }
  }
  return later;
}

bool preparable(const PictureSizes& p) {
  return !p.picture.empty() && !p.targets.empty() && usable(p.targets.front());
}

}  // namespace

std::vector<PictureAtSize> decodeIntoCacheNow(const std::vector<PictureSizes>& pictures) {
  std::vector<const PictureSizes*> jobs;
  for (const PictureSizes& p : pictures) {
    if (preparable(p)) jobs.push_back(&p);
  }
  return prepareIntoCache(jobs, std::vector<EarlyWork>(jobs.size()));
}

PictureFilesLoading::PictureFilesLoading(std::vector<std::string> paths, QSize firstGuess)
    : paths_(std::move(paths)),
      firstGuess_(firstGuess),
      bytes_(paths_.size()),
      read_(paths_.size(), false),
      decoded_(paths_.size()),
      keys_(paths_.size()),
      decodedReady_(paths_.size(), false) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  for (std::size_t i = 0; i < std::min(cores, paths_.size()); ++i) {
    threads_.emplace_back([this] { work(); });
  }
}

PictureFilesLoading::~PictureFilesLoading() {
  {
    // Unused (the program ends, or another copy took over): no more reads or decodes.
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  done_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void PictureFilesLoading::work() {
  for (;;) {  // every read first: the stage needs the bytes before the decodes
    std::size_t i;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_ || nextRead_ == paths_.size()) break;
      i = nextRead_++;
    }
    PictureData bytes = PictureData::fromFile(paths_[i]);
    const std::lock_guard<std::mutex> lock(mutex_);
    bytes_[i] = std::move(bytes);
    read_[i] = true;
    done_.notify_all();
  }
  for (;;) {
    std::size_t i;
    PictureData bytes;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (stopping_ || nextDecode_ == paths_.size()) return;
      i = nextDecode_++;
      done_.wait(lock, [&] { return read_[i] || stopping_; });
      if (stopping_) return;
      bytes = bytes_[i];
    }
    QImage image;
    std::optional<RememberedKey> found;
    if (usable(firstGuess_)) {
      const RememberedKey& key = found.emplace(rememberedKey(bytes.view()));
      image = recallPicture(key, firstGuess_, Remembered::Decoded);
      // Kept at the sizes shown but not at the guess (a picture chosen from the menu, whose
      // sizes the queue kept): finish() recalls those, and no decode is needed here.
      if (image.isNull() && !rememberedAtAnySize(key))
        image = decodePictureRemembered(key, bytes.view(), firstGuess_);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    decoded_[i] = std::move(image);
    keys_[i] = std::move(found);
    decodedReady_[i] = true;
    done_.notify_all();
  }
}

PictureData PictureFilesLoading::bytes(std::size_t i) {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return read_[i]; });
  return bytes_[i];
}

std::vector<PictureAtSize> PictureFilesLoading::finish(const std::vector<PictureSizes>& shown) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] {
      return std::all_of(decodedReady_.begin(), decodedReady_.end(), [](bool b) { return b; });
    });
  }
  // The decodes are ours alone now. A shown picture may be another one by now, or
  // larger than guessed: prepareSizes then decodes it again.
  std::vector<const PictureSizes*> jobs;
  std::vector<EarlyWork> early;
  for (const PictureSizes& p : shown) {
    if (!preparable(p)) continue;
    EarlyWork work;
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
      if (!bytes_[i].sameAs(p.picture)) continue;
      if (!decoded_[i].isNull()) work.decoded = &decoded_[i];
      if (keys_[i]) work.key = &*keys_[i];
    }
    jobs.push_back(&p);
    early.push_back(work);
  }
  return prepareIntoCache(jobs, early);
}

PictureQueue::PictureQueue() = default;

PictureQueue::~PictureQueue() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    waiting_.clear();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PictureQueue::add(const PictureData& picture, QSize target) {
  if (picture.empty() || !usable(target) || isPictureCached(picture, target)) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++pending_;
    waiting_.push_back({picture, target});
  }
  if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  wake_.notify_one();
}

bool PictureQueue::busy() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return pending_ > 0;
}

void PictureQueue::run() {
  for (;;) {
    PictureAtSize job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      job = std::move(waiting_.front());
      waiting_.pop_front();
    }
    // Kept for the next start too: a picture chosen from the menu starts as fast as the rest.
    const RememberedKey key = rememberedKey(job.picture.view());
    QImage image = recallPicture(key, job.target, Remembered::Fitted);
    if (image.isNull()) {
      image = fitPictureToTarget(decodePicture(job.picture.view(), job.target), job.target);
      rememberPicture(key, job.target, Remembered::Fitted, image);
    }
    // Delivered through the event loop; the queue outlives this thread, and an event
    // still posted when it is destroyed is dropped with it.
    QMetaObject::invokeMethod(
        this,
        [this, job = std::move(job), image = std::move(image)] {
          storeCachedPicture(job.picture, job.target, image);
          const std::lock_guard<std::mutex> lock(mutex_);
          --pending_;
        },
        Qt::QueuedConnection);
  }
}

}  // namespace zv
