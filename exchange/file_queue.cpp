#include "exchange/file_queue.h"

#include <cstdio>
#include <utility>

#include "base/printable_text.h"
#include "exchange/output_files.h"

FileQueue::FileQueue(size_t depth) : depth_(depth < 1 ? 1 : depth) {}

FileQueue::~FileQueue() {
  size_t failed = 0;
  Finish(failed);
}

void FileQueue::Write(std::string path, Maker make) { Add(Entry{std::move(path), {}, std::move(make)}); }

void FileQueue::Say(std::string line) { Add(Entry{{}, std::move(line), nullptr}); }

void FileQueue::Add(Entry entry) {
  std::unique_lock<std::mutex> lock(mutex_);
  // The thread starts with the first file, so a queue given none costs nothing; a line with no
  // file before it needs no waiting.
  if (!writer_.joinable() && entry.path.empty()) {
    std::fprintf(stderr, "kvrview: %s\n", entry.line.c_str());
    return;
  }
  if (!writer_.joinable()) {
    closing_ = false;
    writer_ = std::thread(&FileQueue::Drain, this);
  }
  changed_.wait(lock, [&] { return waiting_.size() < depth_; });
  waiting_.push_back(std::move(entry));
  changed_.notify_all();
}

void FileQueue::Drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return !waiting_.empty() || closing_; });
    if (waiting_.empty()) return;
    Entry entry = std::move(waiting_.front());
    waiting_.pop_front();
    changed_.notify_all();
    lock.unlock();
    std::string bytes, why;
    const bool file = !entry.path.empty();
    const bool written = file && entry.make(bytes, why) && ReplaceFile(entry.path, bytes, why);
    if (!file) {
      std::fprintf(stderr, "kvrview: %s\n", entry.line.c_str());
    } else if (!written) {
      std::fprintf(stderr, "kvrview: could not write %s: %s\n", PrintableText(entry.path).c_str(), why.c_str());
    }
    entry = Entry();  // the work and the bytes freed here, not under the lock
    bytes = std::string();
    lock.lock();
    if (written) ++written_;
    if (file && !written) ++failed_;
  }
}

size_t FileQueue::Finish(size_t& failed) {
  if (writer_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    changed_.notify_all();
    writer_.join();
  }
  const size_t written = written_;
  failed = failed_;
  written_ = failed_ = 0;
  return written;
}
