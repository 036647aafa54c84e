#include "tests/support/system_errors.h"

#include <cerrno>
#include <cstring>

namespace trellisk::test {

std::string MissingFolderText() {
    return std::strerror(ENOENT);
}

std::string IsAFolderText() {
    return std::strerror(EISDIR);
}

std::string NotAFolderText() {
    return std::strerror(ENOTDIR);
}

std::string AccessDeniedText() {
    return std::strerror(EACCES);
}

} // namespace trellisk::test
