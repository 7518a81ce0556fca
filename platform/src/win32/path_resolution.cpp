// Windows path resolution: '\' separators and letter case that differs from the disk.
// Implemented: relative and absolute paths, '.' and '..', repeated separators, case-insensitive
//   matching of ASCII letters, component by component; a cache of each folder's listing, so a
//   folder of D files costs one read of D names, not one for every name looked up in it.
//   A name marked "\\?\" is taken as it is.
// Not implemented: drive letters, UNC names, 8.3 short names, Windows' dropping of trailing dots
//   and spaces.
//
// The cache never answers from an old listing. Each use compares the folder's stat (device,
// inode, modification and change times) with the one its listing was read under; any change of
// entries (a file created, renamed or deleted, by anyone, the program's own log included) moves
// those times. A change in the same tick of the file system's clock as the reading may leave them
// as they were, so a listing read within kKvrFolderSettleMilliseconds of the folder's last change
// is read again on its next use, until the folder has been still for that long. The times come
// from the clock of the machine that wrote them: a folder on a server whose clock runs behind
// this one's could look still too early. The cache holds at most kMaxCachedNames names in
// kMaxCachedFolders folders; past that it is emptied and starts again. A folder with more names
// than the whole cache holds is kept alone, so a look-up in a folder of any size costs a hash, not
// a scan; a folder of more than kMaxFolderNames is not listed at all (its names open only as
// spelt on disk), so that no folder can take the memory of millions of names.
#include "win32/path_resolution.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr size_t kMaxCachedNames = size_t(1) << 17;
// A folder of more names is never listed: a name in it is found only by its exact spelling. One
// below it is kept even when it holds more names than the whole cache, alone then.
constexpr size_t kMaxFolderNames = size_t(1) << 19;
constexpr size_t kMaxCachedFolders = 256;
// How long a folder must have been still before its listing is trusted: more than a tick of the
// kernel's coarse clock (10 ms at the slowest), and more than the two seconds of the coarsest
// time stamps (FAT's) on file systems that keep no fraction of a second.
constexpr int64_t kUnsettledNanoseconds = int64_t(kKvrFolderSettleMilliseconds) * 1'000'000;
constexpr int64_t kUnsettledWholeSecondsNanoseconds = 2'100'000'000;

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

// FNV-1a over the folded letters, then mixed so that the low bits (the table's index) depend on
// every letter.
uint32_t FoldedHash(std::string_view name) {
  uint64_t h = 14695981039346656037ull;
  for (char c : name) {
    h ^= uint8_t(FoldAscii(c));
    h *= 1099511628211ull;
  }
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ull;
  h ^= h >> 32;
  return uint32_t(h);
}

int64_t Nanoseconds(const timespec& t) { return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// One folder's names, found by their letters with ASCII case folded. Looking a name up costs a
// hash and, for a name of up to kInlineName bytes, about one memory read: an open-addressed table
// (linear probing, at most three quarters full) keeps such a name in its slot beside its hash.
class FoldedNames {
 public:
  void Add(std::string name) {
    if (4 * (names_.size() + 1) > 3 * slots_.size()) Grow();
    const uint32_t hash = FoldedHash(name);
    Slot& slot = slots_[Probe(name, hash)];
    if (slot.index == 0) {
      slot.hash = hash;
      slot.index = uint32_t(names_.size() + 1);
      Keep(slot, name);
      names_.push_back(std::move(name));
      return;
    }
    // Several spellings of the same letters, on a case-sensitive disk ("Tex" and "tex"): the
    // first in byte order stays in the table.
    std::string& first = names_[slot.index - 1];
    if (name < first) {
      std::swap(name, first);
      Keep(slot, first);
    }
    others_[slot.index - 1].push_back(std::move(name));
  }

  // The entry for `name`: itself when it is there with this very case, else the first in byte
  // order of those that differ from it only in case, so the answer does not depend on the order
  // the directory happens to list them in.
  bool Find(std::string_view name, std::string& found) const {
    if (slots_.empty()) return false;
    const Slot& slot = slots_[Probe(name, FoldedHash(name))];
    if (slot.index == 0) return false;
    const std::string_view first = NameIn(slot);
    bool exact = first == name;
    if (!exact && !others_.empty()) {
      auto it = others_.find(slot.index - 1);
      exact = it != others_.end() && std::find(it->second.begin(), it->second.end(), name) != it->second.end();
    }
    found.assign(exact ? name : first);
    return true;
  }

 private:
  static constexpr size_t kInlineName = 23;

  // 32 bytes, aligned so that no slot straddles two cache lines.
  struct alignas(32) Slot {
    uint32_t hash = 0;
    uint32_t index = 0;   // into names_, plus one; 0 marks an empty slot
    uint8_t length = 0;   // of the name kept in text; 0 when it is longer than kInlineName
    char text[kInlineName] = {};
  };

  static void Keep(Slot& slot, const std::string& name) {
    slot.length = name.size() <= kInlineName ? uint8_t(name.size()) : 0;
    std::copy(name.begin(), name.begin() + slot.length, slot.text);
  }

  std::string_view NameIn(const Slot& slot) const {
    return slot.length ? std::string_view(slot.text, slot.length) : std::string_view(names_[slot.index - 1]);
  }

  // The slot holding the letters of `name`, or the empty one where they would go.
  size_t Probe(std::string_view name, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.index == 0 || (slot.hash == hash && EqualIgnoringCase(NameIn(slot), name))) return i;
    }
  }

  void Grow() {
    std::vector<Slot> old(std::max<size_t>(64, slots_.size() * 2));
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.index == 0) continue;
      size_t i = slot.hash & mask;
      while (slots_[i].index != 0) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  std::vector<std::string> names_;  // the first spelling in byte order of each set of letters
  std::vector<Slot> slots_;         // a power of two in size
  std::unordered_map<uint32_t, std::vector<std::string>> others_;  // the other spellings, by index
};

struct Listing {
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified = {};
  timespec changed = {};
  bool settled = false;  // the folder was still for a while before it was read
  size_t count = 0;
  FoldedNames names;

  bool Describes(const struct stat& st) const {
    return st.st_dev == device && st.st_ino == inode && SameTime(st.st_mtim, modified) &&
           SameTime(st.st_ctim, changed);
  }
};

enum class Read { kFailed, kWhole, kTooBig };

// Reads the folder at `dir` ("" for the working directory). The stat that keys it is taken on
// the open folder, so listing and stat describe the same folder even if the path moves meanwhile.
// A folder of more than maxNames entries is not kept (kTooBig), so one hostile folder cannot
// take the memory of millions of names.
Read ReadListing(const std::string& dir, size_t maxNames, Listing& out) {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  const int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Read::kFailed;
  struct stat st;
  DIR* d = fstat(fd, &st) == 0 ? fdopendir(fd) : nullptr;
  if (!d) {
    close(fd);
    return Read::kFailed;
  }
  out = Listing();
  out.device = st.st_dev;
  out.inode = st.st_ino;
  out.modified = st.st_mtim;
  out.changed = st.st_ctim;
  // Every change of entries sets the change time to the clock's time (the modification time can
  // be set to anything, the future included, so it does not say when the folder last moved).
  const int64_t unsettled = st.st_ctim.tv_nsec == 0 ? kUnsettledWholeSecondsNanoseconds : kUnsettledNanoseconds;
  out.settled = Nanoseconds(st.st_ctim) < Nanoseconds(now) - unsettled;
  Read result = Read::kWhole;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (out.count == maxNames) {
      result = Read::kTooBig;
      break;
    }
    out.names.Add(std::move(name));
    ++out.count;
  }
  closedir(d);  // closes fd
  if (result == Read::kTooBig) out = Listing();
  return result;
}

class ListingCache {
 public:
  // Looks `name` up in the folder `dir`, whose stat the caller has just taken as `st`.
  bool Find(std::string_view dir, const struct stat& st, std::string_view name, std::string& found) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Names come in runs from one folder: the last one used is checked before the table.
    Listing* listing = last_ && dir == lastDir_ ? last_ : nullptr;
    if (!listing) {
      auto it = listings_.find(std::string(dir));
      if (it != listings_.end()) listing = Remember(it->first, it->second);
    }
    if (listing && listing->settled && listing->Describes(st)) return listing->names.Find(name, found);

    Listing fresh;
    const std::string folder(dir);
    const Read read = ReadListing(folder, kMaxFolderNames, fresh);
    if (read != Read::kWhole) {
      if (listing) Forget(dir);
      return false;
    }
    const bool answer = fresh.names.Find(name, found);
    if (listing) {
      if (names_ - listing->count + fresh.count <= maxNames_) {
        names_ = names_ - listing->count + fresh.count;
        *listing = std::move(fresh);
        return answer;
      }
      Forget(dir);
    }
    // Past the limits the cache starts again; a folder larger than the whole cache is kept alone.
    if (names_ + fresh.count > maxNames_ || listings_.size() >= maxFolders_) {
      listings_.clear();
      last_ = nullptr;
      names_ = 0;
    }
    names_ += fresh.count;
    auto inserted = listings_.emplace(std::string(dir), std::move(fresh)).first;
    Remember(inserted->first, inserted->second);
    return answer;
  }

  void SetLimits(size_t names, size_t folders) {
    std::lock_guard<std::mutex> lock(mutex_);
    maxNames_ = names ? names : kMaxCachedNames;
    maxFolders_ = folders ? folders : kMaxCachedFolders;
    listings_.clear();
    last_ = nullptr;
    names_ = 0;
  }

 private:
  Listing* Remember(const std::string& dir, Listing& listing) {
    lastDir_ = dir;
    last_ = &listing;
    return last_;
  }

  void Forget(std::string_view dir) {
    auto it = listings_.find(std::string(dir));
    if (it == listings_.end()) return;
    names_ -= it->second.count;
    if (last_ == &it->second) last_ = nullptr;
    listings_.erase(it);
  }

  std::mutex mutex_;
  size_t maxNames_ = kMaxCachedNames;
  size_t maxFolders_ = kMaxCachedFolders;
  std::unordered_map<std::string, Listing> listings_;  // by the folder's path as looked up
  size_t names_ = 0;       // in all of them
  std::string lastDir_;
  Listing* last_ = nullptr;  // the listing of lastDir_, when it is in the table
};

ListingCache& Cache() {
  static ListingCache* cache = new ListingCache;  // never destroyed: files open until the end
  return *cache;
}

// The entry of `dir` that differs from `name` at most in letter case.
bool FindEntryIgnoringCase(const std::string& dir, const std::string& name, std::string& found) {
  struct stat st;
  if (stat(dir.empty() ? "." : dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return Cache().Find(dir, st, name, found);
}

}  // namespace

void KvrSetFolderCacheLimits(size_t names, size_t folders) { Cache().SetLimits(names, folders); }

bool KvrIsExactName(const char* path) { return path && std::strncmp(path, "\\\\?\\", 4) == 0; }

std::string KvrResolveWindowsPath(const char* path) {
  if (!path) return std::string();
  if (KvrIsExactName(path)) return std::string(path + 4);
  std::string unix(path);
  std::replace(unix.begin(), unix.end(), '\\', '/');
  if (unix.empty() || Exists(unix)) return unix;  // the common case costs one lstat
  return KvrResolveMissingPath(std::move(unix));
}

std::string KvrResolveMissingPath(std::string unix) {
  if (unix.empty()) return unix;
  const bool absolute = unix[0] == '/';

  // Usually the folder is right and only the last name's case is not: when the folder exists as
  // given, the walk below would keep each of its components, so only the last is looked up. A
  // name without repeated or trailing separators is the walk's own spelling of it, and what is
  // found differs from the last name only in case: it takes the same bytes.
  const size_t slash = unix.rfind('/');
  const size_t lastStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string_view last(unix.data() + lastStart, unix.size() - lastStart);
  if (unix.back() != '/' && last != "." && last != ".." && unix.find("//") == std::string::npos) {
    const std::string folder = unix.substr(0, lastStart);
    struct stat st;
    if (stat(folder.empty() ? "." : folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      std::string found;
      if (Cache().Find(folder, st, last, found) && found.size() == last.size())
        unix.replace(lastStart, found.size(), found);
      return unix;
    }
  }

  std::vector<std::string> components;
  size_t start = 0;
  while (start <= unix.size()) {
    size_t end = unix.find('/', start);
    if (end == std::string::npos) end = unix.size();
    if (end > start) components.push_back(unix.substr(start, end - start));
    start = end + 1;
  }
  std::string result = absolute ? "/" : "";
  bool resolvable = true;  // once a component matches nothing, the rest can't exist either
  for (size_t i = 0; i < components.size(); ++i) {
    const std::string& component = components[i];
    std::string chosen = component;
    if (resolvable && component != "." && component != "..") {
      std::string exact = result + component;
      if (!Exists(exact)) {
        std::string found;
        if (FindEntryIgnoringCase(result, component, found))
          chosen = found;
        else
          resolvable = false;
      }
    }
    result += chosen;
    if (i + 1 < components.size()) result += '/';
  }
  if (unix.back() == '/' && !components.empty()) result += '/';
  return result;
}
