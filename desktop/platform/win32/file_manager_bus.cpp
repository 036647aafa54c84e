#include "desktop/platform/file_manager_bus.h"

namespace trellisk::platform {

// No session bus here: the folders come from the window titles alone.
std::vector<FileManagerWindow> FileManagerBusWindows() {
    return {};
}

} // namespace trellisk::platform
