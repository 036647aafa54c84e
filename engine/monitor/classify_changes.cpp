#include "engine/monitor/classify_changes.h"

#include "engine/platform/file_system.h"
#include "engine/text/text_helpers.h"

#include <algorithm>
#include <cstdio>

namespace trellisk {

ChangeClassifier::ChangeClassifier(LogData& log, const Settings& settings, WindowInterface& window,
                                   const Clock& clock)
    : log_(log), settings_(settings), window_(window), clock_(clock) {}

void ChangeClassifier::classify(const std::string& dir, FileRun snapshotRun, FileRun baseRun) {
    oldRemoved_.assign(baseRun.count(), 0);
    oldCursor_ = 0;
    byNameBuilt_ = false;
    bySizeDateBuilt_ = false;
    unmatchedByName_.clear();

    matchByName(dir, snapshotRun, baseRun);
    matchBySizeAndDate(dir, snapshotRun, baseRun);
    reportDeleted(dir, baseRun);
}

void ChangeClassifier::matchByName(const std::string& dir, const FileRun& current,
                                   const FileRun& base) {
    for (std::size_t row = 0; row < current.count(); ++row) {
        const std::uint32_t p = FindOldFile(base, current.name(row));
        if (p == npos) {
            unmatchedByName_.push_back(static_cast<std::uint32_t>(row));
            window_.pump();
            continue;
        }
        const std::uint64_t baseSize = base.size(p);
        const std::int64_t baseDate = base.dateKey(p);
        removeOldRow(p);
        window_.pump();
        if (current.size(row) != baseSize || current.dateKey(row) != baseDate)
            reportUpdated(dir, current, row, baseSize, baseDate);
    }
}

void ChangeClassifier::reportUpdated(const std::string& dir, const FileRun& current,
                                     std::size_t row, std::uint64_t baseSize,
                                     std::int64_t baseDate) {
    const std::string name(current.name(row));
    const std::uint64_t size = current.size(row);
    const std::int64_t date = current.dateKey(row);
    const std::string sizeText = SizeText(size);
    const std::string dateText = DateText(date);
    const bool sizeChanged = size != baseSize;
    const bool dateChanged = date != baseDate;
    const auto sizeChange = static_cast<std::int64_t>(size - baseSize);

    // Looked up after the pump in the caller, so a clear run meanwhile is never overlooked.
    const std::optional<std::size_t> found = log_.updatedFiles.find(name, dir);
    std::string sizeChangeText;
    if (!found) {
        UpdateRow updated{name,
                          sizeText,
                          dateText,
                          dir,
                          {},
                          Marker::Changed,
                          sizeChanged ? Marker::Changed : Marker::None,
                          dateChanged ? Marker::Changed : Marker::None};
        log_.updatedFiles.scrollTo(log_.updatedFiles.insertSorted(std::move(updated)));
    } else {
        sizeChangeText = SizeChangeText(sizeChange);
        log_.updatedFiles.change(*found, [&](UpdateRow& updated) {
            updated.rowMarker = Marker::Changed;
            updated.size = sizeText;
            updated.date = dateText;
            updated.rate = RateText(sizeChange);
            if (sizeChanged)
                updated.sizeMarker = Marker::Changed;
            if (dateChanged)
                updated.dateMarker = Marker::Changed;
        });
    }
    appendLog({name, kKindUpdated, sizeText, sizeChangeText, dateText, now(), dir});
    log_.changeStatus([](LogStatus& status) { ++status.updatedCount; });
}

void ChangeClassifier::matchBySizeAndDate(const std::string& dir, const FileRun& current,
                                          const FileRun& base) {
    for (const std::uint32_t row : unmatchedByName_) {
        const std::string name(current.name(row));
        const std::string sizeText = SizeText(current.size(row));
        const std::string dateText = DateText(current.dateKey(row));
        const std::uint32_t e =
            FindOldFileBySizeDate(base, current.dateKey(row), current.size(row));
        if (e == npos) {
            log_.newFiles.scrollTo(log_.newFiles.append({name, sizeText, dir, Marker::None}));
            appendLog({name, kKindNew, sizeText, {}, dateText, now(), dir});
            log_.changeStatus([](LogStatus& status) { ++status.newCount; });
            continue;
        }
        const std::string oldName(base.name(e));
        removeOldRow(e);
        log_.renamedFiles.scrollTo(log_.renamedFiles.append({name, oldName, dir}));
        appendLog({name, kKindRenamed, sizeText, kOldNamePrefix + oldName, dateText, now(), dir});
        log_.changeStatus([](LogStatus& status) { ++status.renamedCount; });
    }
}

void ChangeClassifier::reportDeleted(const std::string& dir, const FileRun& base) {
    for (std::uint32_t p = oldCursor_; p < base.count(); ++p) {
        if (oldRemoved_[p])
            continue;
        const std::string name(base.name(p));
        // A base file without a current row that is still on disk was missed by the
        // listing, not deleted.
        if (platform::FileExists(dir + name))
            continue;
        log_.deletedFiles.scrollTo(log_.deletedFiles.append({name, dir}));
        appendLog({name, kKindDeleted, {}, {}, {}, now(), dir});
        log_.changeStatus([](LogStatus& status) { ++status.deletedCount; });
    }
}

std::uint32_t ChangeClassifier::FindOldFile(const FileRun& base, std::string_view name) {
    while (oldCursor_ < base.count() && oldRemoved_[oldCursor_])
        ++oldCursor_;
    if (oldCursor_ == base.count())
        return npos;
    // In an unchanged directory the first base row left is the namesake: no index needed.
    if (base.name(oldCursor_) == name)
        return oldCursor_;
    if (!byNameBuilt_) {
        oldByName_.build(static_cast<std::uint32_t>(base.count()),
                         [&](std::uint32_t p) { return base.name(p); });
        byNameBuilt_ = true;
    }
    return oldByName_.first(name, oldRemoved_);
}

std::uint32_t ChangeClassifier::FindOldFileBySizeDate(const FileRun& base, std::int64_t dateKey,
                                                      std::uint64_t size) {
    if (!bySizeDateBuilt_) {
        oldBySizeDate_.build(static_cast<std::uint32_t>(base.count()), [&](std::uint32_t p) {
            return SizeDate{base.size(p), base.dateKey(p)};
        });
        bySizeDateBuilt_ = true;
    }
    return oldBySizeDate_.first(SizeDate{size, dateKey}, oldRemoved_);
}

void ChangeClassifier::appendLog(LogRow row) {
    log_.entries.scrollTo(log_.entries.append(std::move(row)));
}

std::string ChangeClassifier::now() const {
    return DateTimeText(clock_.now());
}

std::string ChangeClassifier::RateText(std::int64_t sizeChange) const {
    const int interval = std::max(settings_.interval, kMinInterval);
    const long double rate = static_cast<long double>(sizeChange) / interval / 1048576.0L * 8.0L;
    char text[64];
    std::snprintf(text, sizeof text, "%.2Lf", rate);
    return text;
}

} // namespace trellisk
