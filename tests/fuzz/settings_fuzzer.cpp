// Any bytes as a settings file: the reader must neither crash nor run away, and what it read
// must come back the same when written and read again.
#include "engine/settings/settings_file.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace trellisk;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Settings first;
    static_cast<void>(ParseSettings(text, first));
    Require(first.interval >= kMinInterval && first.interval <= kMaxInterval);
    Require(first.folders.count() <= size); // every row takes at least one byte of the file

    Settings second;
    Require(!ParseSettings(SettingsText(first), second));
    Require(second.folders.count() == first.folders.count());
    for (std::size_t row = 0; row < first.folders.count(); ++row) {
        const FolderEntry& a = first.folders[row];
        const FolderEntry& b = second.folders[row];
        Require(a.path == b.path && a.subfolders == b.subfolders && a.depthLimit == b.depthLimit);
    }
    Require(second.interval == first.interval);
    return 0;
}
