#include "engine/settings/settings_location.h"

#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"
#include "engine/platform/program_places.h"

namespace trellisk {

namespace {

constexpr const char* kSettingsFileName = "trellisk.ini";

bool IsPortableDirectory(const std::string& directory) {
    return platform::IsOwnWritableDirectory(directory) &&
           !platform::IsSystemProgramDirectory(directory) &&
           !platform::HoldsInstalledExecutable(directory);
}

} // namespace

std::string ChooseSettingsFile(const std::string& executableDirectory,
                               const std::string& userConfigDirectory) {
    const std::string beside = executableDirectory + kSettingsFileName;
    if (platform::FileExists(beside) || IsPortableDirectory(executableDirectory))
        return beside;
    return userConfigDirectory + "trellisk" + platform::kPathSeparator + kSettingsFileName;
}

std::string SettingsFileName() {
    return ChooseSettingsFile(platform::ExecutableDirectory(), platform::UserConfigDirectory());
}

std::optional<std::string> MakeSettingsDirectory(const std::string& fileName) {
    const std::size_t separator = fileName.rfind(platform::kPathSeparator);
    if (separator == std::string::npos || separator == 0)
        return std::nullopt;
    if (std::optional<std::string> error =
            platform::MakePrivateDirectories(fileName.substr(0, separator)))
        return fileName + ": " + *error;
    return std::nullopt;
}

} // namespace trellisk
