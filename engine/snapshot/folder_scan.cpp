#include "engine/snapshot/folder_scan.h"

#include "engine/platform/threads.h"
#include "engine/text/text_helpers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace trellisk {

using platform::Directory;
using platform::DirectoryIdentity;
using platform::EntryKind;
using platform::EntryStatus;
using platform::OpenStatus;

namespace {

struct IdentityHash {
    std::size_t operator()(const DirectoryIdentity& id) const {
        return std::hash<std::uint64_t>{}(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
    }
};

using IdentitySet = std::unordered_set<DirectoryIdentity, IdentityHash>;

// How often the calling thread lets events run while workers read.
constexpr auto kProgressSpacing = std::chrono::milliseconds(10);

// A large directory's entries are taken in batches of this many, between which the calling
// thread lets events run; a batch of at least kSharedBatch entries has its facts read by
// helper threads too.
constexpr std::size_t kBatchEntries = 2048;
constexpr std::size_t kSharedBatch = 512;

// Below this share of their bytes in use, the base's name blocks are not shared any more.
constexpr double kLeastNameBlockUse = 0.75;

// Entries of one directory whose facts are read apart from the enumeration.
struct EntryBatch {
    std::string names; // each ending with a zero byte
    std::vector<std::uint32_t> nameAt;
    std::vector<EntryKind> kinds;
    std::vector<platform::FileFacts> facts;
    std::vector<EntryStatus> statuses;

    void clear() {
        names.clear();
        nameAt.clear();
        kinds.clear();
    }
    void add(const char* name, EntryKind kind) {
        nameAt.push_back(static_cast<std::uint32_t>(names.size()));
        names.append(name).push_back('\0');
        kinds.push_back(kind);
    }
    [[nodiscard]] std::size_t size() const { return kinds.size(); }
    [[nodiscard]] const char* name(std::size_t at) const { return names.c_str() + nameAt[at]; }
    void readFacts(const Directory& dir, std::size_t from, std::size_t to) {
        for (std::size_t at = from; at < to; ++at)
            statuses[at] = dir.readFacts(name(at), kinds[at], facts[at]);
    }
};

} // namespace

class FolderScanner::Walk {
public:
    // The folder being scanned and where its rows go.
    void begin(DirIndex& dirs, FileTable& files, const Progress& progress, int limit,
               bool pseudoFileSystemsWatched) {
        dirs_ = &dirs;
        files_ = &files;
        progress_ = &progress;
        limit_ = limit;
        pseudoFileSystemsWatched_ = pseudoFileSystemsWatched;
        stopped_ = false;
        entered_.clear();
    }
    void setBase(const DirIndex* baseDirs, const FileTable* baseFiles,
                 const BasePathIndex* basePaths, bool shareNames) {
        baseDirs_ = baseDirs;
        baseFiles_ = baseFiles;
        basePaths_ = basePaths;
        shareNames_ = shareNames;
    }
    // Threads that read a large directory's facts beside this one's.
    void setHelpers(std::size_t helpers) { helpers_ = helpers; }
    [[nodiscard]] bool stopped() const { return stopped_; }
    IdentitySet& entered() { return entered_; }
    [[nodiscard]] DirIndex& dirs() { return *dirs_; }
    [[nodiscard]] FileTable& files() { return *files_; }

    // Reads the files of the directory of `row` and, when `childDepth` is set and admitted,
    // the names that may be subdirectories into `candidates`. False when it cannot be read:
    // it then keeps the base's rows.
    bool readDirectory(const Directory& dir, std::size_t row, std::optional<int> childDepth,
                       std::string& candidates);
    // Reads the directory of `row` and everything below it; false when stopped.
    bool scanDirectory(const Directory& dir, std::size_t row, std::optional<int> childDepth,
                       std::size_t level);
    // The subdirectories named in `candidates` of the directory of `row`, from the one at
    // `from` (a position in `candidates`) on; false when stopped.
    bool scanChildren(const Directory& dir, std::size_t row, std::optional<int> childDepth,
                      const std::string& candidates, std::size_t from, std::size_t to,
                      std::size_t level);
    // Marks the directory of `row` (the index's last row) unreadable and copies its rows from
    // the base, its subdirectories at `childDepth` and below when they are watched.
    void keepBaseRows(std::size_t row, std::optional<int> childDepth);

    // Whether a subdirectory reached from `parent` is left alone as a kernel file system.
    [[nodiscard]] bool leftAlone(const Directory& parent, const Directory& child) const {
        return child.identity().device != parent.identity().device && !pseudoFileSystemsWatched_ &&
               child.onPseudoFileSystem();
    }
    [[nodiscard]] bool admits(std::optional<int> childDepth) const {
        return childDepth && (limit_ == 0 || *childDepth <= limit_);
    }
    [[nodiscard]] std::string& candidates(std::size_t level) {
        if (candidates_.size() <= level)
            candidates_.resize(level + 1);
        return candidates_[level];
    }

private:
    // The base's files of the directory in `row` when names are shared with them; none when
    // they are not, or when the base has no such directory.
    [[nodiscard]] FileTable::Run baseFilesOf(std::size_t row);
    // Appends a file of the directory being read; a name the base has at the same place is
    // shared with it. A file created or deleted since moves the rest of the listing by one,
    // so the place is followed.
    void appendFile(const char* name, const platform::FileFacts& facts) {
        const std::int64_t date = DateKey(facts.lastWriteSeconds);
        const auto at = static_cast<std::ptrdiff_t>(files_->count() - firstFile_) + baseShift_;
        for (const std::ptrdiff_t step : {0, 1, -1}) {
            const std::ptrdiff_t place = at + step;
            if (place >= 0 && static_cast<std::size_t>(place) < baseRun_.count() &&
                baseRun_.name(static_cast<std::size_t>(place)) == name) {
                baseShift_ += step;
                files_->appendNamedAs(baseRun_, static_cast<std::size_t>(place), facts.size, date);
                return;
            }
        }
        files_->append(name, facts.size, date);
    }
    // The two ways of reading a directory's entries and their facts; false when an entry's
    // facts cannot be read.
    bool readOneByOne(const Directory& dir, bool expand, std::string& candidates);
    bool readInBatches(const Directory& dir, bool expand, std::string& candidates);
    void readFactsWithHelpers(const Directory& dir);

    DirIndex* dirs_ = nullptr;
    FileTable* files_ = nullptr;
    const Progress* progress_ = nullptr;
    int limit_ = 0;
    bool pseudoFileSystemsWatched_ = false;
    bool stopped_ = false; // progress said stop in the middle of a directory
    std::size_t helpers_ = 0;
    EntryBatch batch_;
    IdentitySet entered_;

    const DirIndex* baseDirs_ = nullptr;
    const FileTable* baseFiles_ = nullptr;
    const BasePathIndex* basePaths_ = nullptr;
    bool shareNames_ = false;
    FileTable::Run baseRun_; // of the directory being read
    std::ptrdiff_t baseShift_ = 0;
    std::size_t firstFile_ = 0;

    platform::DirectoryReader reader_;
    // Per level of the tree, the names that may be subdirectories, each ending with a zero
    // byte; kept to reuse their memory. A deque, so deeper levels never move shallower ones.
    std::deque<std::string> candidates_;
    std::string pathText_;
    std::string basePathText_;
};

bool FolderScanner::Walk::readDirectory(const Directory& dir, std::size_t row,
                                        std::optional<int> childDepth, std::string& candidates) {
    const bool expand = admits(childDepth);
    candidates.clear();
    firstFile_ = files_->count();
    baseRun_ = baseFilesOf(row);
    baseShift_ = 0;
    reader_.start(dir);
    const bool read = platform::kFactsReadApart && helpers_ > 0
                          ? readInBatches(dir, expand, candidates)
                          : readOneByOne(dir, expand, candidates);
    if (!read || reader_.failed()) {
        files_->truncate(firstFile_);
        candidates.clear();
        keepBaseRows(row, childDepth);
        return false;
    }
    (*dirs_)[row].firstFile = firstFile_;
    (*dirs_)[row].fileCount = files_->count() - firstFile_;
    return true;
}

bool FolderScanner::Walk::readOneByOne(const Directory& dir, bool expand, std::string& candidates) {
    while (const std::optional<platform::DirectoryEntry> item = reader_.next()) {
        // A link or an entry of unknown kind may lead to a directory; it is tried.
        if (expand && item->kind != EntryKind::File) {
            candidates.append(item->name);
            candidates.push_back('\0');
        }
        platform::FileFacts facts;
        const EntryStatus status = dir.readFacts(item->name, item->kind, facts);
        if (status == EntryStatus::Unreadable)
            return false;
        if (status == EntryStatus::File)
            appendFile(item->name, facts);
    }
    return true;
}

bool FolderScanner::Walk::readInBatches(const Directory& dir, bool expand,
                                        std::string& candidates) {
    for (;;) {
        batch_.clear();
        while (batch_.size() < kBatchEntries) {
            const std::optional<platform::DirectoryEntry> item = reader_.next();
            if (!item)
                break;
            if (expand && item->kind != EntryKind::File) {
                candidates.append(item->name);
                candidates.push_back('\0');
            }
            batch_.add(item->name, item->kind);
        }
        readFactsWithHelpers(dir);
        for (std::size_t at = 0; at < batch_.size(); ++at) {
            if (batch_.statuses[at] == EntryStatus::Unreadable)
                return false;
            if (batch_.statuses[at] == EntryStatus::File)
                appendFile(batch_.name(at), batch_.facts[at]);
        }
        if (batch_.size() < kBatchEntries)
            return true;
        if (!(*progress_)()) { // the scan ends; what was read so far is never used
            stopped_ = true;
            return true;
        }
    }
}

void FolderScanner::Walk::readFactsWithHelpers(const Directory& dir) {
    const std::size_t count = batch_.size();
    batch_.facts.resize(count);
    batch_.statuses.resize(count);
    const std::size_t parts = count >= kSharedBatch ? helpers_ + 1 : 1;
    const auto part = [&](std::size_t p) { return p * count / parts; };
    std::vector<std::jthread> helpers;
    try {
        for (std::size_t p = 1; p < parts; ++p) {
            helpers.emplace_back([this, &dir, from = part(p), to = part(p + 1)] {
                platform::LowerCurrentThreadPriority();
                batch_.readFacts(dir, from, to);
            });
        }
    } catch (const std::system_error&) {
        // No thread to spare: the parts no helper took are read here.
    }
    batch_.readFacts(dir, 0, part(1));
    batch_.readFacts(dir, part(helpers.size() + 1), count);
}

bool FolderScanner::Walk::scanDirectory(const Directory& dir, std::size_t row,
                                        std::optional<int> childDepth, std::size_t level) {
    std::string& names = candidates(level);
    const bool read = readDirectory(dir, row, childDepth, names);
    if (stopped_ || !(*progress_)())
        return false;
    return !read || scanChildren(dir, row, childDepth, names, 0, names.size(), level);
}

bool FolderScanner::Walk::scanChildren(const Directory& dir, std::size_t row,
                                       std::optional<int> childDepth, const std::string& candidates,
                                       std::size_t from, std::size_t to, std::size_t level) {
    const std::optional<int> grandchildDepth =
        childDepth ? std::optional<int>(*childDepth + 1) : std::nullopt;
    for (std::size_t at = from; at < to;) {
        const char* name = candidates.c_str() + at;
        at += std::strlen(name) + 1;
        Directory::Opening opening = dir.openChild(name);
        if (opening.status == OpenStatus::Unreadable) {
            keepBaseRows(dirs_->appendChild(row, name), grandchildDepth);
            if (!(*progress_)())
                return false;
            continue;
        }
        if (!opening.directory)
            continue;
        const Directory& child = *opening.directory;
        if (leftAlone(dir, child) || !entered_.insert(child.identity()).second)
            continue;
        const std::size_t childRow = dirs_->appendChild(row, name);
        if (!scanDirectory(child, childRow, grandchildDepth, level + 1))
            return false;
    }
    return true;
}

void FolderScanner::Walk::keepBaseRows(std::size_t row, std::optional<int> childDepth) {
    DirIndex& dirs = *dirs_;
    FileTable& files = *files_;
    dirs[row].unreadable = true;
    dirs[row].firstFile = files.count();
    dirs[row].fileCount = 0;
    if (baseDirs_ == nullptr || baseFiles_ == nullptr)
        return;
    const std::optional<std::size_t> found = basePaths_->find(dirs.path(row), basePathText_);
    if (!found)
        return;
    const DirIndex& base = *baseDirs_;
    const auto copyRun = [&](std::size_t from, std::size_t to) {
        const DirRow& source = base[from];
        const FileTable::Run kept = baseFiles_->run(source.firstFile, source.fileCount);
        dirs[to].firstFile = files.count();
        for (std::size_t i = 0; i < kept.count(); ++i)
            if (shareNames_)
                files.appendNamedAs(kept, i, kept.size(i), kept.dateKey(i));
            else
                files.append(kept.name(i), kept.size(i), kept.dateKey(i));
        dirs[to].fileCount = kept.count();
    };
    copyRun(*found, row);
    if (!childDepth)
        return;
    // The base's rows below it follow it at once, each after its parent; those beyond this
    // folder's depth limit are left out, with everything below them.
    struct Copied {
        std::size_t row;
        int depth;
    };
    std::vector<std::optional<Copied>> copies{Copied{row, *childDepth - 1}};
    for (std::size_t below = *found + 1; below < base.count(); ++below) {
        const DirRow& source = base[below];
        if (source.watchedFolder || source.parent < *found)
            break;
        const std::optional<Copied>& parent = copies[source.parent - *found];
        std::optional<Copied> copy;
        if (parent && (limit_ == 0 || parent->depth + 1 <= limit_)) {
            copy = Copied{dirs.appendChild(parent->row, base.name(below)), parent->depth + 1};
            copyRun(below, copy->row);
        }
        copies.push_back(copy);
    }
}

FileTable::Run FolderScanner::Walk::baseFilesOf(std::size_t row) {
    if (!shareNames_)
        return {};
    dirs_->pathInto(row, pathText_);
    const std::optional<std::size_t> found = basePaths_->find(pathText_, basePathText_);
    if (!found)
        return {};
    const DirRow& base = (*baseDirs_)[*found];
    return baseFiles_->run(base.firstFile, base.fileCount);
}

FolderScanner::FolderScanner(std::size_t workers) : walk_(std::make_unique<Walk>()) {
    for (std::size_t i = 0; workers > 1 && i < workers; ++i)
        workerWalks_.push_back(std::make_unique<Walk>());
    // The workers are busy with subtrees, but while this thread reads a large directory
    // alone, all but one of them help.
    if (workers > 1)
        walk_->setHelpers(workers - 1);
}

FolderScanner::~FolderScanner() = default;

std::size_t FolderScanner::DefaultWorkerCount() {
    return std::max<std::size_t>(2, std::thread::hardware_concurrency());
}

void FolderScanner::beginSnapshot(const DirIndex* baseDirs, const FileTable* baseFiles) {
    baseDirs_ = baseDirs;
    baseFiles_ = baseFiles;
    basePaths_.build(baseDirs);
    // Names are stored afresh once in a while, so that blocks holding only a few names still
    // in use are let go.
    const bool shareNames = baseDirs != nullptr && baseFiles != nullptr &&
                            baseFiles->nameBlockUse() >= kLeastNameBlockUse;
    walk_->setBase(baseDirs, baseFiles, &basePaths_, shareNames);
    for (const auto& walk : workerWalks_)
        walk->setBase(baseDirs, baseFiles, &basePaths_, shareNames);
}

bool FolderScanner::scanFolder(const FolderEntry& entry, DirIndex& dirs, FileTable& files,
                               const Progress& progress) {
    // A hand-edited path may lack its separator; the folder is used with it everywhere.
    const std::string folder = WithTrailingSeparator(entry.path);
    const std::size_t row = dirs.appendFolder(folder);
    dirs[row].firstFile = files.count();
    std::optional<int> childDepth;
    if (entry.subfolders)
        childDepth = FolderDepth(entry.path, folder);
    Directory::Opening opening = Directory::open(folder);
    const bool pseudo = opening.directory && opening.directory->onPseudoFileSystem();
    const int limit = entry.depthLimit;
    walk_->begin(dirs, files, progress, limit, pseudo);
    if (!opening.directory) {
        // A missing folder has no files; one that is there but unreadable keeps its own.
        if (opening.status == OpenStatus::Unreadable)
            walk_->keepBaseRows(row, childDepth);
        return progress();
    }
    const Directory& dir = *opening.directory;
    walk_->entered().insert(dir.identity());
    std::string& candidates = walk_->candidates(0);
    if (!walk_->readDirectory(dir, row, childDepth, candidates))
        return progress();
    if (walk_->stopped() || !progress())
        return false;
    if (workerWalks_.empty() || std::count(candidates.begin(), candidates.end(), '\0') < 2)
        return walk_->scanChildren(dir, row, childDepth, candidates, 0, candidates.size(), 1);
    const Folder read{folder, dir, row, childDepth, limit, pseudo};
    return scanSubtreesInParallel(read, candidates, progress);
}

// A run of subdirectories of the watched folder, read by a worker into rows of its own: row 0
// stands for the folder, the others point to their parents within the run.
struct FolderScanner::Subtrees {
    std::size_t from = 0; // positions in the folder's candidate names
    std::size_t to = 0;
    DirIndex dirs;
    FileTable files;
    IdentitySet entered;
    std::exception_ptr error;
    bool stopped = false;
    bool done = false;
};

namespace {

// Appends the rows a worker read below the folder's row `row`; the file rows are taken over,
// not copied.
void AppendRows(const DirIndex& fromDirs, FileTable& fromFiles, std::size_t row, DirIndex& dirs,
                FileTable& files) {
    const std::size_t firstRow = dirs.count();
    const std::size_t firstFile = files.count();
    for (std::size_t i = 1; i < fromDirs.count(); ++i) {
        const DirRow& from = fromDirs[i];
        const std::size_t parent = from.parent == 0 ? row : firstRow + from.parent - 1;
        DirRow& to = dirs[dirs.appendChild(parent, fromDirs.name(i))];
        to.unreadable = from.unreadable;
        to.firstFile = firstFile + from.firstFile;
        to.fileCount = from.fileCount;
    }
    files.adopt(std::move(fromFiles));
}

} // namespace

bool FolderScanner::scanSubtreesInParallel(const Folder& folder, const std::string& candidates,
                                           const Progress& progress) {
    // Runs of neighbouring names, a few per worker, so that the work spreads evenly.
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < candidates.size(); at += std::strlen(candidates.c_str() + at) + 1)
        starts.push_back(at);
    const std::size_t runs = std::min(starts.size(), workerWalks_.size() * 8);
    std::vector<Subtrees> jobs(runs);
    for (std::size_t j = 0; j < runs; ++j) {
        jobs[j].from = starts[j * starts.size() / runs];
        jobs[j].to = j + 1 == runs ? candidates.size() : starts[(j + 1) * starts.size() / runs];
    }

    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{0};
    const Progress keepGoing = [&] { return !stop.load(std::memory_order_relaxed); };
    const auto work = [&](Walk& walk) {
        platform::LowerCurrentThreadPriority();
        for (std::size_t j; (j = next.fetch_add(1)) < runs && !stop;) {
            Subtrees& job = jobs[j];
            try {
                walk.begin(job.dirs, job.files, keepGoing, folder.limit, folder.pseudo);
                walk.entered().insert(folder.dir.identity());
                job.dirs.appendFolder(folder.path);
                job.stopped = !walk.scanChildren(folder.dir, 0, folder.childDepth, candidates,
                                                 job.from, job.to, 1);
                std::swap(job.entered, walk.entered());
            } catch (...) {
                job.error = std::current_exception();
            }
            const std::lock_guard lock(mutex);
            job.done = true;
            finished.notify_all();
        }
    };
    std::vector<std::jthread> threads;
    // Whatever way this returns, the workers are told to stop and are waited for first.
    struct StopAndJoin {
        std::atomic<bool>& stop;
        std::vector<std::jthread>& threads;
        ~StopAndJoin() {
            stop = true;
            threads.clear();
        }
    } stopAndJoin{stop, threads};
    try {
        for (const auto& walk : workerWalks_)
            threads.emplace_back(work, std::ref(*walk));
    } catch (const std::system_error&) {
        if (threads.empty()) // no thread to spare: this one reads it all
            return walk_->scanChildren(folder.dir, folder.row, folder.childDepth, candidates, 0,
                                       candidates.size(), 1);
    }

    // The runs are taken in order as they come in. A run is what a single thread would have
    // read unless it entered a directory that an earlier run entered too (links across runs):
    // from that run on, this thread reads the rest itself.
    Walk& walk = *walk_;
    IdentitySet& entered = walk.entered();
    for (std::size_t j = 0; j < runs; ++j) {
        Subtrees& job = jobs[j];
        for (std::unique_lock lock(mutex); !job.done;) {
            finished.wait_for(lock, kProgressSpacing);
            lock.unlock();
            if (!progress())
                return false;
            lock.lock();
        }
        if (job.error)
            std::rethrow_exception(job.error);
        if (job.stopped)
            return false;
        const bool apart =
            std::none_of(job.entered.begin(), job.entered.end(), [&](const auto& id) {
                return id != folder.dir.identity() && entered.contains(id);
            });
        if (!apart) {
            stop = true;
            threads.clear();
            return walk.scanChildren(folder.dir, folder.row, folder.childDepth, candidates,
                                     job.from, candidates.size(), 1);
        }
        entered.insert(job.entered.begin(), job.entered.end());
        AppendRows(job.dirs, job.files, folder.row, walk.dirs(), walk.files());
        job = Subtrees{};
    }
    return true;
}

} // namespace trellisk
