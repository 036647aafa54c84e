#include "engine/monitor/classify_changes.h"

#include "engine/platform/file_system.h"

namespace trellisk {

void ChangeClassifier::classify(const std::string& watchedFolder, const std::string& dir,
                                FileRun snapshotRun, FileRun baseRun, std::vector<Finding>& out) {
    watchedFolder_ = &watchedFolder;
    dir_ = &dir;
    out_ = &out;
    oldRemoved_.assign(baseRun.count(), 0);
    oldCursor_ = 0;
    byNameBuilt_ = false;
    bySizeDateBuilt_ = false;
    unmatchedByName_.clear();

    matchByName(snapshotRun, baseRun);
    matchBySizeAndDate(snapshotRun, baseRun);
    reportDeleted(baseRun);
}

Finding& ChangeClassifier::report(FindingKind kind, std::string_view name, std::uint64_t size,
                                  std::int64_t dateKey) {
    Finding& finding = out_->emplace_back();
    finding.kind = kind;
    finding.watchedFolder = *watchedFolder_;
    finding.directory = *dir_;
    finding.name = name;
    finding.size = size;
    finding.dateKey = dateKey;
    finding.detected = clock_.now();
    return finding;
}

void ChangeClassifier::matchByName(const FileRun& current, const FileRun& base) {
    for (std::size_t row = 0; row < current.count(); ++row) {
        const std::uint32_t p = FindOldFile(base, current.name(row));
        if (p == npos) {
            unmatchedByName_.push_back(static_cast<std::uint32_t>(row));
            continue;
        }
        const std::uint64_t baseSize = base.size(p);
        const std::int64_t baseDate = base.dateKey(p);
        removeOldRow(p);
        if (current.size(row) != baseSize || current.dateKey(row) != baseDate) {
            Finding& updated = report(FindingKind::Updated, current.name(row), current.size(row),
                                      current.dateKey(row));
            updated.baseSize = baseSize;
            updated.baseDateKey = baseDate;
        }
    }
}

void ChangeClassifier::matchBySizeAndDate(const FileRun& current, const FileRun& base) {
    for (const std::uint32_t row : unmatchedByName_) {
        const std::uint32_t e =
            FindOldFileBySizeDate(base, current.dateKey(row), current.size(row));
        if (e == npos) {
            report(FindingKind::New, current.name(row), current.size(row), current.dateKey(row));
            continue;
        }
        removeOldRow(e);
        report(FindingKind::Renamed, current.name(row), current.size(row), current.dateKey(row))
            .oldName = base.name(e);
    }
}

void ChangeClassifier::reportDeleted(const FileRun& base) {
    std::string path;
    for (std::uint32_t p = oldCursor_; p < base.count(); ++p) {
        if (oldRemoved_[p])
            continue;
        // A base file without a current row that is still on disk was missed by the
        // listing, not deleted.
        path.assign(*dir_).append(base.name(p));
        if (platform::FileExists(path))
            continue;
        report(FindingKind::Deleted, base.name(p), base.size(p), base.dateKey(p));
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

} // namespace trellisk
