#include "engine/settings/folder_import.h"

#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"
#include "engine/settings/file_uri.h"
#include "engine/text/text_helpers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string_view>

namespace trellisk {

namespace {

bool IsExistingFolder(std::string_view path) {
    return platform::IsAbsolutePath(path) && platform::DirectoryExists(WithTrailingSeparator(path));
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Text order, except that runs of digits compare as the numbers they write.
bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t aEnd = std::find_if_not(a.begin() + i, a.end(), IsDigit) - a.begin();
            const std::size_t bEnd = std::find_if_not(b.begin() + j, b.end(), IsDigit) - b.begin();
            std::string_view aRun = a.substr(i, aEnd - i);
            std::string_view bRun = b.substr(j, bEnd - j);
            aRun.remove_prefix(std::min(aRun.find_first_not_of('0'), aRun.size()));
            bRun.remove_prefix(std::min(bRun.find_first_not_of('0'), bRun.size()));
            if (aRun.size() != bRun.size())
                return aRun.size() < bRun.size();
            if (aRun != bRun)
                return aRun < bRun;
            i = aEnd;
            j = bEnd;
        } else if (a[i] != b[j]) {
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        } else {
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

// The path with exactly one trailing separator, so that "/a" and "/a/" are one folder.
std::string FolderKey(std::string_view path) {
    while (!path.empty() && path.back() == platform::kPathSeparator)
        path.remove_suffix(1);
    return WithTrailingSeparator(path);
}

} // namespace

std::optional<std::string> FolderOfTitle(const std::string& title) {
    if (IsExistingFolder(title))
        return title;
    // A hyphen, or an em dash in UTF-8.
    constexpr std::array<std::string_view, 2> kSeparators = {" - ", " \xE2\x80\x94 "};
    std::size_t cut = std::string::npos;
    std::size_t nameStart = 0;
    for (std::string_view separator : kSeparators) {
        const std::size_t at = title.rfind(separator);
        if (at != std::string::npos && (cut == std::string::npos || at > cut)) {
            cut = at;
            nameStart = at + separator.size();
        }
    }
    if (cut == std::string::npos)
        return std::nullopt;
    // A program's name is no path: "/a - b/c" is not the folder "/a" of a program "b/c".
    const std::string_view name = std::string_view(title).substr(nameStart);
    if (name.empty() || name.find('/') != std::string_view::npos ||
        name.find(platform::kPathSeparator) != std::string_view::npos)
        return std::nullopt;
    std::string path = title.substr(0, cut);
    if (!IsExistingFolder(path))
        return std::nullopt;
    return path;
}

std::vector<std::string> FolderCandidates(std::vector<FileManagerWindow> windows,
                                          const std::vector<std::string>& titles) {
    std::vector<std::string> candidates;
    std::set<std::string> seen;
    const auto add = [&](std::string folder) {
        if (seen.insert(FolderKey(folder)).second)
            candidates.push_back(std::move(folder));
    };

    std::ranges::stable_sort(windows, NaturalLess, &FileManagerWindow::name);
    for (const FileManagerWindow& window : windows) {
        for (const std::string& uri : window.locations) {
            if (auto path = LocalPathOfFileUri(uri); path && IsExistingFolder(*path))
                add(std::move(*path));
        }
    }
    for (const std::string& title : titles) {
        if (auto folder = FolderOfTitle(title))
            add(std::move(*folder));
    }
    return candidates;
}

} // namespace trellisk
