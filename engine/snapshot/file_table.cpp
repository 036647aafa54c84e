#include "engine/snapshot/file_table.h"

#include "engine/text/text_helpers.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <unordered_set>

namespace trellisk {

namespace {

// A half date that stands for "kept beside the rows".
constexpr std::int32_t kFarDate = std::numeric_limits<std::int32_t>::min();

// The bytes a name takes in a block: its length and its text.
std::size_t StoredSize(std::string_view name) {
    return (name.size() < 0x80 ? 1 : 2) + name.size();
}

} // namespace

std::string_view FileTable::Segment::name(std::size_t at) const {
    const std::size_t nameAt = row(at).nameAt;
    const char* text = nameBlocks[nameAt / kNameBlockBytes].get() + nameAt % kNameBlockBytes;
    const auto first = static_cast<unsigned char>(text[0]);
    if (first < 0x80)
        return {text + 1, first};
    return {text + 2, (first & 0x7Fu) << 8 | static_cast<unsigned char>(text[1])};
}

std::int64_t FileTable::Segment::dateKey(std::size_t at) const {
    if (row(at).halfDate != kFarDate)
        return std::int64_t{row(at).halfDate} * 2;
    const auto found =
        std::lower_bound(farDates.begin(), farDates.end(), at,
                         [](const auto& far, std::size_t r) { return far.first < r; });
    return found->second;
}

void FileTable::Segment::append(std::string_view name, std::uint64_t size, std::int64_t dateKey) {
    const std::size_t need = StoredSize(name);
    const std::size_t lengthBytes = need - name.size();
    if (need > kNameBlockBytes)
        throw std::length_error("file name of " + std::to_string(name.size()) + " bytes");
    // A name never crosses into the next block.
    if (writeAt + need > kNameBlockBytes) {
        nameBlocks.push_back(std::make_shared_for_overwrite<char[]>(kNameBlockBytes));
        writeBlock = nameBlocks.size() - 1;
        writeAt = 0;
    }
    char* text = nameBlocks[writeBlock].get() + writeAt;
    if (lengthBytes == 1) {
        text[0] = static_cast<char>(name.size());
    } else {
        text[0] = static_cast<char>(0x80u | name.size() >> 8);
        text[1] = static_cast<char>(name.size() & 0xFFu);
    }
    if (!name.empty())
        std::memcpy(text + lengthBytes, name.data(), name.size());
    const std::size_t nameAt = writeBlock * kNameBlockBytes + writeAt;
    writeAt += need;
    nameBytes += need;
    appendRow(nameAt, size, dateKey);
}

void FileTable::Segment::appendNamedAs(const Segment& from, std::size_t at, std::uint64_t size,
                                       std::int64_t dateKey) {
    const std::size_t fromAt = from.row(at).nameAt;
    const NameBlock& block = from.nameBlocks[fromAt / kNameBlockBytes];
    // Names shared in a row mostly lie in one block, which is then listed once.
    if (nameBlocks.empty() || nameBlocks.back() != block)
        nameBlocks.push_back(block);
    nameBytes += StoredSize(from.name(at));
    appendRow((nameBlocks.size() - 1) * kNameBlockBytes + fromAt % kNameBlockBytes, size, dateKey);
}

void FileTable::Segment::appendRow(std::size_t nameAt, std::uint64_t size, std::int64_t dateKey) {
    if (nameAt > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("file names beyond 4 GiB in one part of a scan");
    if (rowCount / kBlockRows == rowBlocks.size())
        rowBlocks.push_back(std::make_unique_for_overwrite<Row[]>(kBlockRows));
    const std::int64_t half = dateKey / 2;
    const bool near =
        dateKey % 2 == 0 && half > kFarDate && half <= std::numeric_limits<std::int32_t>::max();
    if (!near)
        farDates.emplace_back(rowCount, dateKey);
    rowBlocks[rowCount / kBlockRows][rowCount % kBlockRows] =
        Row{size, static_cast<std::uint32_t>(nameAt),
            near ? static_cast<std::int32_t>(half) : kFarDate};
    ++rowCount;
}

void FileTable::Segment::truncate(std::size_t count) {
    if (count >= rowCount)
        return;
    for (std::size_t at = count; at < rowCount; ++at)
        nameBytes -= StoredSize(name(at));
    rowCount = count;
    while (!farDates.empty() && farDates.back().first >= count)
        farDates.pop_back();
}

void FileTable::Segment::clear() {
    rowCount = 0;
    nameBytes = 0;
    farDates.clear();
    nameBlocks.clear();
    writeAt = kNameBlockBytes;
}

std::string_view FileTable::Run::name(std::size_t at) const {
    return segment_->name(first_ + at);
}

std::uint64_t FileTable::Run::size(std::size_t at) const {
    return segment_->row(first_ + at).size;
}

std::int64_t FileTable::Run::dateKey(std::size_t at) const {
    return segment_->dateKey(first_ + at);
}

void FileTable::clear() {
    if (segments_.empty())
        return;
    segments_.resize(1);
    segments_.front().clear();
}

void FileTable::append(std::string_view name, std::uint64_t size, std::int64_t dateKey) {
    if (segments_.empty())
        segments_.emplace_back();
    segments_.back().append(name, size, dateKey);
}

void FileTable::appendNamedAs(const Run& from, std::size_t at, std::uint64_t size,
                              std::int64_t dateKey) {
    if (segments_.empty())
        segments_.emplace_back();
    segments_.back().appendNamedAs(*from.segment_, from.first_ + at, size, dateKey);
}

void FileTable::truncate(std::size_t count) {
    while (segments_.size() > 1 && segments_.back().firstRow >= count)
        segments_.pop_back();
    if (!segments_.empty())
        segments_.back().truncate(count - segments_.back().firstRow);
}

void FileTable::adopt(FileTable&& other) {
    for (Segment& segment : other.segments_) {
        if (segment.rowCount == 0)
            continue;
        if (segment.rowCount >= kBlockRows || segments_.empty()) {
            segment.firstRow = count();
            segments_.push_back(std::move(segment));
            continue;
        }
        // A few rows are copied rather than kept in blocks of their own. A name in a block
        // that only they use is copied too, so that the block goes with them.
        Segment& into = segments_.back();
        for (std::size_t at = 0; at < segment.rowCount; ++at) {
            const std::size_t nameAt = segment.row(at).nameAt;
            if (segment.nameBlocks[nameAt / kNameBlockBytes].use_count() > 1)
                into.appendNamedAs(segment, at, segment.row(at).size, segment.dateKey(at));
            else
                into.append(segment.name(at), segment.row(at).size, segment.dateKey(at));
        }
    }
    other.segments_.clear();
}

FileTable::Run FileTable::run(std::size_t first, std::size_t count) const {
    if (count == 0)
        return {};
    const Segment& segment = segmentOf(first);
    assert(first + count <= segment.firstRow + segment.rowCount);
    return {&segment, first - segment.firstRow, count};
}

const FileTable::Segment& FileTable::segmentOf(std::size_t row) const {
    // The last segment that starts at or before the row; an empty segment starting at the
    // same row comes before the one that holds it.
    const auto after =
        std::upper_bound(segments_.begin(), segments_.end(), row,
                         [](std::size_t r, const Segment& s) { return r < s.firstRow; });
    return *std::prev(after);
}

std::string FileTable::sizeText(std::size_t row) const {
    return SizeText(size(row));
}

std::string FileTable::dateText(std::size_t row) const {
    return DateText(dateKey(row));
}

std::size_t FileTable::nameBlockCount() const {
    // A block is listed again where the names shared from it are interrupted.
    std::unordered_set<const char*> blocks;
    for (const Segment& segment : segments_) {
        for (const NameBlock& block : segment.nameBlocks)
            blocks.insert(block.get());
    }
    return blocks.size();
}

double FileTable::nameBlockUse() const {
    const std::size_t blocks = nameBlockCount();
    if (blocks == 0)
        return 1.0;
    std::size_t nameBytes = 0;
    for (const Segment& segment : segments_)
        nameBytes += segment.nameBytes;
    return static_cast<double>(nameBytes) / static_cast<double>(blocks * kNameBlockBytes);
}

std::size_t FileTable::capacityBytes() const {
    std::size_t bytes = segments_.capacity() * sizeof(Segment) + nameBlockCount() * kNameBlockBytes;
    for (const Segment& segment : segments_) {
        bytes += segment.rowBlocks.size() * kBlockRows * sizeof(Row) +
                 segment.nameBlocks.capacity() * sizeof(NameBlock) +
                 segment.farDates.capacity() * sizeof(segment.farDates[0]);
    }
    return bytes;
}

} // namespace trellisk
