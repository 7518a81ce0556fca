// Files finished and written by a thread of their own while the next ones are begun: each handed
// over as the work that makes its bytes, then written whole through ReplaceFile, in the order
// given, with the lines meant for standard error between them kept in that order too. At most a
// few files wait, so memory stays bounded.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class FileQueue {
 public:
  explicit FileQueue(size_t depth = 8);
  ~FileQueue();
  FileQueue(const FileQueue&) = delete;
  FileQueue& operator=(const FileQueue&) = delete;

  // Makes the file's bytes: false, with `why` set, when they cannot be made.
  using Maker = std::function<bool(std::string& bytes, std::string& why)>;
  // Queues the file; waits while `depth` files are already waiting.
  void Write(std::string path, Maker make);
  // Queues a line for standard error ("kvrview: " and a newline are added).
  void Say(std::string line);
  // Waits until everything queued is done: the number of files written, and `failed` set to
  // the number that could not be (each with its line on standard error).
  size_t Finish(size_t& failed);

 private:
  struct Entry {
    std::string path, line;  // no path: a line only
    Maker make;
  };
  void Add(Entry entry);
  void Drain();

  const size_t depth_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Entry> waiting_;
  bool closing_ = false;
  size_t written_ = 0, failed_ = 0;
  std::thread writer_;
};
