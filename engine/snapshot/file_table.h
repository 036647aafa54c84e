#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trellisk {

// A file table: the files of a snapshot, directory after directory, in listing order.
// A million files per snapshot are held in 16 bytes a row plus the names: the rows live in
// segments, one per piece of work that read them, and a segment read elsewhere is taken over
// whole rather than copied. A directory's rows never span two segments. A name that the
// previous snapshot holds already is shared with it, not stored again, so an unchanged tree
// keeps its names once. The comparison reads a directory's run in place and keeps its own
// record of matched rows, so rows are never marked or removed here.
class FileTable {
    struct Segment;

public:
    // One directory's consecutive rows, read in place; positions count from the run's start.
    class Run {
    public:
        Run() = default;
        [[nodiscard]] std::size_t count() const { return count_; }
        [[nodiscard]] std::string_view name(std::size_t at) const;
        [[nodiscard]] std::uint64_t size(std::size_t at) const;
        [[nodiscard]] std::int64_t dateKey(std::size_t at) const;

    private:
        friend class FileTable;
        Run(const Segment* segment, std::size_t first, std::size_t count)
            : segment_(segment), first_(first), count_(count) {}

        const Segment* segment_ = nullptr;
        std::size_t first_ = 0; // within the segment
        std::size_t count_ = 0;
    };

    // Drops every row; the rows' blocks of the first segment are kept for the next snapshot.
    void clear();
    // Throws std::length_error for a name beyond any file system's limit.
    void append(std::string_view name, std::uint64_t size, std::int64_t dateKey);
    // Appends a row named as row `at` of `from`, a run of another table, sharing the name's
    // memory with it; that table may be cleared or destroyed afterwards.
    void appendNamedAs(const Run& from, std::size_t at, std::uint64_t size, std::int64_t dateKey);
    // Drops the rows from `count` on; their names' memory is given back only by clear().
    void truncate(std::size_t count);
    // Appends the rows of `other`, taking over its memory where it holds many; `other` is
    // left empty.
    void adopt(FileTable&& other);

    [[nodiscard]] std::size_t count() const {
        return segments_.empty() ? 0 : segments_.back().firstRow + segments_.back().rowCount;
    }
    [[nodiscard]] bool empty() const { return count() == 0; }
    // The rows first..first+count-1, which belong to one directory.
    [[nodiscard]] Run run(std::size_t first, std::size_t count) const;

    [[nodiscard]] std::string_view name(std::size_t row) const { return at(row).name(0); }
    [[nodiscard]] std::uint64_t size(std::size_t row) const { return at(row).size(0); }
    [[nodiscard]] std::int64_t dateKey(std::size_t row) const { return at(row).dateKey(0); }
    [[nodiscard]] std::string sizeText(std::size_t row) const;
    [[nodiscard]] std::string dateText(std::size_t row) const;

    // The share of the bytes of the name blocks this table refers to that hold its rows'
    // names: names shared over many snapshots while the files around them come and go can
    // leave blocks that hold little, and a low share says it is time to store names afresh.
    [[nodiscard]] double nameBlockUse() const;

    // Memory held, for the benchmarks.
    [[nodiscard]] std::size_t capacityBytes() const;

private:
    // Size, where the name is kept, and the date in units of two seconds (see DateKey()); a
    // date beyond that range is kept beside the rows.
    struct Row {
        std::uint64_t size;
        std::uint32_t nameAt;
        std::int32_t halfDate;
    };
    static_assert(sizeof(Row) == 16);

    // Rows and names live in blocks of one size that are never moved or regrown, so a growing
    // table copies nothing and the blocks a cleared table gives back fit the next one's. Name
    // blocks are let go as soon as no table uses them: kept for reuse, they would gather in
    // whichever of two tables happened to drop them last.
    static constexpr std::size_t kBlockRows = 1024;
    static constexpr std::size_t kNameBlockBytes = 16 * 1024;
    using NameBlock = std::shared_ptr<char[]>;

    struct Segment {
        std::size_t firstRow = 0;
        std::size_t rowCount = 0;
        std::vector<std::unique_ptr<Row[]>> rowBlocks;
        // The blocks the rows' names are in, written here or shared with another table. Each
        // name is its length (one byte below 128, else two) and its bytes, within a block.
        std::vector<NameBlock> nameBlocks;
        std::size_t writeBlock = 0; // where new names go: a block of nameBlocks
        std::size_t writeAt = kNameBlockBytes;
        std::size_t nameBytes = 0;                                  // of the rows' names, as stored
        std::vector<std::pair<std::size_t, std::int64_t>> farDates; // (row in segment, date)

        [[nodiscard]] const Row& row(std::size_t at) const {
            return rowBlocks[at / kBlockRows][at % kBlockRows];
        }
        [[nodiscard]] std::string_view name(std::size_t at) const;
        [[nodiscard]] std::int64_t dateKey(std::size_t at) const;
        void append(std::string_view name, std::uint64_t size, std::int64_t dateKey);
        void appendNamedAs(const Segment& from, std::size_t at, std::uint64_t size,
                           std::int64_t dateKey);
        void appendRow(std::size_t nameAt, std::uint64_t size, std::int64_t dateKey);
        void truncate(std::size_t count);
        void clear();
    };

    [[nodiscard]] Run at(std::size_t row) const { return run(row, 1); }
    [[nodiscard]] std::size_t nameBlockCount() const;
    [[nodiscard]] const Segment& segmentOf(std::size_t row) const;

    std::vector<Segment> segments_; // appends go to the last
};

} // namespace trellisk
