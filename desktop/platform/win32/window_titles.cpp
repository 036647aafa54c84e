#include "desktop/platform/window_titles.h"
#include "desktop/platform/window_title_limit.h"
#include "engine/platform/win32/wide_text.h"

#include <iterator>

namespace trellisk::platform {

namespace {

BOOL CALLBACK AddVisibleTitle(HWND window, LPARAM titles) {
    if (!::IsWindowVisible(window))
        return TRUE;
    // Each UTF-16 unit gives at least one UTF-8 byte, so the limit's worth of units and one more
    // always reach past the cut; whatever the buffer's end splits (a surrogate pair) is cut off.
    wchar_t text[kMaxWindowTitleBytes + 2];
    const int length = ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    if (length <= 0)
        return TRUE;
    std::string title = Utf8({text, static_cast<std::size_t>(length)});
    CutToTitleLimit(title);
    reinterpret_cast<std::vector<std::string>*>(titles)->push_back(std::move(title));
    return TRUE;
}

} // namespace

std::vector<std::string> VisibleWindowTitles() {
    std::vector<std::string> titles;
    ::EnumWindows(AddVisibleTitle, reinterpret_cast<LPARAM>(&titles));
    return titles;
}

} // namespace trellisk::platform
