// Work handed out in order to worker threads and taken back in the same order.
//
// A load reads and parses its files ahead on every core while the main thread commits, logs and
// counts each result in the order the manifests list them. Only pure work runs on a worker: it
// fills its own slot and touches nothing the main thread uses meanwhile.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Worker threads a load uses besides the main thread: as many as cores by default, none on a
// single core. 0 is the one-thread load: every item then runs on the main thread when it is
// taken, exactly where a load without workers would do it.
unsigned LoadWorkerThreads();
// Sets the count (0 for the one-thread load); kWorkersPerCore gives the default back.
constexpr int kWorkersPerCore = -1;
void SetLoadWorkerThreads(int threads);

class OrderedWork {
 public:
  // run(slot) does the work of the item held in slot (0 .. slots - 1); the caller owns the slots'
  // contents and fills one before publishing it.
  OrderedWork(size_t slots, std::function<void(size_t slot)> run);
  // Waits for the items running now; the rest are dropped unrun.
  ~OrderedWork();
  OrderedWork(const OrderedWork&) = delete;
  OrderedWork& operator=(const OrderedWork&) = delete;

  // Main thread only. Whether every slot holds an item not yet released.
  bool Full() const { return tail_ - head_ == slots_; }
  bool Empty() const { return tail_ == head_; }
  // The slot the next item goes into (when not Full); Publish hands it to the workers.
  size_t NextSlot() const { return tail_ % slots_; }
  void Publish();
  // The oldest item's slot once its work is done (run here when no worker has started it).
  // Not on an Empty queue.
  size_t TakeOldest();
  // The oldest item was taken and used: its slot is free again.
  void ReleaseOldest();

 private:
  void Work();
  void RunItem(size_t item);

  const size_t slots_;
  const std::function<void(size_t)> run_;
  // Items are numbered from 0 in publishing order; item n lives in slot n % slots_.
  size_t head_ = 0;  // the oldest item not released (main thread)
  size_t tail_ = 0;  // the next item to publish (main thread)
  std::mutex mutex_;
  std::condition_variable published_, finished_;
  size_t published_count_ = 0;  // items the workers may take (guarded)
  size_t next_to_run_ = 0;      // the next item nobody has started (guarded)
  std::vector<char> done_;      // per slot (guarded)
  bool stopping_ = false;       // (guarded)
  std::vector<std::thread> workers_;
};
