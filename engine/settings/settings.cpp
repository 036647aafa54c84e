#include "engine/settings/settings.h"

#include "engine/text/text_helpers.h"

namespace trellisk {

int DepthLimit(const FolderEntry& entry) {
    return ParseInteger(entry.depth).value_or(0);
}

} // namespace trellisk
