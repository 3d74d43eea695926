#include "platform/qt/picture_batch.h"

#include <algorithm>

#include "platform/all_cores.h"
#include "platform/files.h"
#include "platform/qt/picture.h"

namespace zv {

namespace {

bool usable(QSize target) { return target.isValid() && !target.isEmpty(); }

bool covers(const QImage& decoded, QSize target) {
  return decoded.width() >= target.width() && decoded.height() >= target.height();
}

}  // namespace

std::vector<PictureAtSize> decodeIntoCacheNow(const std::vector<PictureSizes>& pictures) {
  // Each job's decode at its first size; the other sizes scaled from it where it covers.
  struct Result {
    std::vector<QImage> images;  // one per target; null when left for later
    std::vector<bool> made;
  };
  std::vector<const PictureSizes*> jobs;
  for (const PictureSizes& p : pictures) {
    if (!p.picture.empty() && !p.targets.empty() && usable(p.targets.front())) jobs.push_back(&p);
  }
  std::vector<Result> results(jobs.size());
  onAllCores(jobs.size(), [&](std::size_t i) {
    const PictureSizes& job = *jobs[i];
    Result& result = results[i];
    result.images.resize(job.targets.size());
    result.made.assign(job.targets.size(), false);
    const QImage decoded = decodePicture(job.picture.view(), job.targets.front());
    for (std::size_t t = 0; t < job.targets.size(); ++t) {
      const QSize target = job.targets[t];
      if (t == 0 || (usable(target) && !decoded.isNull() && covers(decoded, target))) {
        result.images[t] = fitPictureToTarget(decoded, target);
        result.made[t] = true;
      }
    }
  });

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

PictureFilesLoading::PictureFilesLoading(std::vector<std::string> paths, QSize firstGuess)
    : paths_(std::move(paths)),
      firstGuess_(firstGuess),
      bytes_(paths_.size()),
      read_(paths_.size(), false),
      decoded_(paths_.size()),
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
    QImage image = usable(firstGuess_) ? decodePicture(bytes.view(), firstGuess_) : QImage();
    const std::lock_guard<std::mutex> lock(mutex_);
    decoded_[i] = std::move(image);
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
  // The decodes are ours alone now.
  std::vector<PictureSizes> stillNeeded;
  std::vector<PictureAtSize> later;
  for (const PictureSizes& p : shown) {
    const QImage* decoded = nullptr;
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
      if (!p.picture.empty() && bytes_[i].sameAs(p.picture)) decoded = &decoded_[i];
    }
    if (!decoded || p.targets.empty() || decoded->isNull() ||
        !covers(*decoded, p.targets.front())) {
      stillNeeded.push_back(p);  // another picture by now, or one larger than guessed
      continue;
    }
    for (const QSize target : p.targets) {
      if (usable(target) && covers(*decoded, target)) {
        storeCachedPicture(p.picture, target, fitPictureToTarget(*decoded, target));
      } else if (usable(target)) {
        later.push_back({p.picture, target});
      }
    }
  }
  for (PictureAtSize& rest : decodeIntoCacheNow(stillNeeded)) later.push_back(std::move(rest));
  return later;
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
    QImage image = fitPictureToTarget(decodePicture(job.picture.view(), job.target), job.target);
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
