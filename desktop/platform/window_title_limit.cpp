#include "desktop/platform/window_title_limit.h"

namespace trellisk::platform {

void CutToTitleLimit(std::string& title) {
    if (title.size() <= kMaxWindowTitleBytes)
        return;
    std::size_t cut = kMaxWindowTitleBytes;
    // A UTF-8 character has at most three continuation bytes.
    for (int i = 0; i < 3 && cut > 0 && (title[cut] & 0xC0) == 0x80; ++i)
        --cut;
    title.resize(cut);
}

} // namespace trellisk::platform
