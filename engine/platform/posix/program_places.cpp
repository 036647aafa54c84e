#include "engine/platform/program_places.h"

#include "engine/platform/file_system.h"
#include "engine/platform/install_layout.h"
#include "engine/platform/path_rules.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace trellisk::platform {

namespace {

constexpr mode_t kPrivateDirectoryMode = 0700;

std::string WithSeparator(std::string path) {
    if (path.empty() || path.back() != kPathSeparator)
        path.push_back(kPathSeparator);
    return path;
}

std::optional<std::string> AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != kPathSeparator)
        return std::nullopt;
    return std::string(value);
}

std::string HomeDirectory() {
    if (std::optional<std::string> home = AbsoluteVariable("HOME"))
        return *home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == kPathSeparator)
        return found->pw_dir;
    // No home anywhere: the root keeps the path absolute; creating it then fails visibly.
    return std::string(1, kPathSeparator);
}

std::string ErrorText(int error) {
    return std::system_category().message(error);
}

} // namespace

std::string UserConfigDirectory() {
    if (std::optional<std::string> configHome = AbsoluteVariable("XDG_CONFIG_HOME"))
        return WithSeparator(*configHome);
    return WithSeparator(WithSeparator(HomeDirectory()) + ".config");
}

bool HoldsInstalledExecutable(const std::string& directory) {
    return DirectoryExists(WithSeparator(directory) + kDocumentationFromExecutable);
}

bool IsOwnWritableDirectory(const std::string& directory) {
    struct stat info {};
    return ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() &&
           ::faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool IsSystemProgramDirectory(const std::string& directory) {
    char* real = ::realpath(directory.c_str(), nullptr);
    if (real == nullptr)
        return false;
    const std::string path = WithSeparator(real);
    std::free(real);
    constexpr std::array<std::string_view, 9> kSystemTrees = {
        "/usr/", "/opt/", "/bin/", "/sbin/", "/lib/", "/lib32/", "/lib64/", "/libx32/", "/snap/"};
    for (std::string_view tree : kSystemTrees) {
        if (path.starts_with(tree))
            return true;
    }
    return false;
}

std::optional<std::string> MakePrivateDirectories(const std::string& directory) {
    if (DirectoryExists(directory))
        return std::nullopt;
    // Each missing level from the top down, so that every one made gets the private mode.
    for (std::size_t end = directory.find(kPathSeparator, 1);;
         end = directory.find(kPathSeparator, end + 1)) {
        const std::string level = directory.substr(0, end);
        if (!level.empty() && ::mkdir(level.c_str(), kPrivateDirectoryMode) != 0 && errno != EEXIST)
            return ErrorText(errno);
        if (end == std::string::npos)
            break;
    }
    // A file where a directory belongs also ends up here: mkdir saw EEXIST.
    if (!DirectoryExists(directory))
        return ErrorText(ENOTDIR);
    return std::nullopt;
}

} // namespace trellisk::platform
