#include "tests/support/system_errors.h"

#include "engine/platform/win32/wide_text.h"

namespace trellisk::test {

std::string MissingFolderText() {
    return platform::ErrorText(ERROR_PATH_NOT_FOUND);
}

std::string IsAFolderText() {
    return platform::ErrorText(ERROR_DIRECTORY);
}

std::string NotAFolderText() {
    return platform::ErrorText(ERROR_DIRECTORY);
}

std::string AccessDeniedText() {
    return platform::ErrorText(ERROR_ACCESS_DENIED);
}

} // namespace trellisk::test
