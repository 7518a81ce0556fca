// A small pool of worker threads fed in order, and the count of workers a load uses.
#include "base/ordered_work.h"

#include <system_error>

namespace {

int workerSetting = kWorkersPerCore;

}  // namespace

unsigned LoadWorkerThreads() {
  if (workerSetting >= 0) return static_cast<unsigned>(workerSetting);
  // A single core gains nothing from a worker, and a build without threads reports one.
  const unsigned cores = std::thread::hardware_concurrency();
  return cores >= 2 ? cores : 0;
}

void SetLoadWorkerThreads(int threads) { workerSetting = threads < 0 ? kWorkersPerCore : threads; }

OrderedWork::OrderedWork(size_t slots, std::function<void(size_t)> run)
    : slots_(slots == 0 ? 1 : slots), run_(std::move(run)), done_(slots_, 0) {
  const unsigned threads = LoadWorkerThreads();
  workers_.reserve(threads);
  // A thread the system refuses is one worker less: with none, every item runs when it is taken.
  try {
    for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
  }
}

OrderedWork::~OrderedWork() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stopping_ = true;
  }
  published_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void OrderedWork::Publish() {
  if (Full()) return;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    done_[tail_ % slots_] = 0;
    published_count_ = ++tail_;
  }
  if (!workers_.empty()) published_.notify_one();
}

void OrderedWork::RunItem(size_t item) {
  run_(item % slots_);
  {
    std::lock_guard<std::mutex> hold(mutex_);
    done_[item % slots_] = 1;
  }
  finished_.notify_all();
}

void OrderedWork::Work() {
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    published_.wait(hold, [this] { return stopping_ || next_to_run_ < published_count_; });
    if (stopping_) return;
    const size_t item = next_to_run_++;
    hold.unlock();
    RunItem(item);
    hold.lock();
  }
}

size_t OrderedWork::TakeOldest() {
  std::unique_lock<std::mutex> hold(mutex_);
  if (next_to_run_ == head_) {
    // Nobody has started it: the main thread would only wait, so it does the work itself.
    ++next_to_run_;
    hold.unlock();
    RunItem(head_);
    return head_ % slots_;
  }
  finished_.wait(hold, [this] { return done_[head_ % slots_] != 0; });
  return head_ % slots_;
}

void OrderedWork::ReleaseOldest() {
  if (!Empty()) ++head_;
}
