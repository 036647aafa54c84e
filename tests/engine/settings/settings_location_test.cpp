#include "engine/platform/program_places.h"
#include "engine/settings/settings.h"
#include "engine/settings/settings_file.h"
#include "engine/settings/settings_location.h"
#include "tests/support/system_errors.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>
#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trellisk {
namespace {

namespace fs = std::filesystem;
using test::FsPath;

enum class Place { BesideTheExecutable, UserConfig };

struct LocationCase {
    const char* name;
    // Builds the case in the tree and gives the executable's directory, ending with '/'.
    std::function<std::string(const test::TempTree&)> executableDirectory;
    Place expected;
    // Permissions do not stop root, and only root can hand a directory to another user.
    enum class Needs { Anyone, NotRoot, Root } needs = Needs::Anyone;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LocationCase& c, std::ostream* out) {
    *out << c.name;
}

std::string InstalledCopy(const test::TempTree& tree) {
    tree.makeDir("usr");
    tree.makeDir("usr/bin");
    tree.makeDir("usr/share");
    tree.makeDir("usr/share/doc");
    tree.makeDir("usr/share/doc/trellisk");
    return tree.path("usr/bin/");
}

std::string ReadOnlyDirectory(const test::TempTree& tree, bool withSettings) {
    tree.makeDir("portable");
    if (withSettings)
        tree.makeFile("portable/trellisk.ini");
    fs::permissions(FsPath(tree.path("portable")), fs::perms::owner_read | fs::perms::owner_exec);
    return tree.path("portable/");
}

// Where the system keeps its own programs.
std::string SystemProgramDirectory() {
#ifdef _WIN32
    const char* systemRoot = std::getenv("SystemRoot");
    return std::string(systemRoot ? systemRoot : "C:\\Windows") + "\\System32\\";
#else
    return "/usr/bin/";
#endif
}

const LocationCase kLocationCases[] = {
    {"BuildFolder",
     [](const test::TempTree& tree) {
         tree.makeDir("build");
         return tree.path("build/");
     },
     Place::BesideTheExecutable},
    {"InstalledCopy", InstalledCopy, Place::UserConfig},
    {"InstalledCopyWithExistingFile",
     [](const test::TempTree& tree) {
         const std::string directory = InstalledCopy(tree);
         tree.makeFile("usr/bin/trellisk.ini");
         return directory;
     },
     Place::BesideTheExecutable},
    {"ReadOnlyDirectory", [](const test::TempTree& tree) { return ReadOnlyDirectory(tree, false); },
     Place::UserConfig, LocationCase::Needs::NotRoot},
    {"ReadOnlyDirectoryWithExistingFile",
     [](const test::TempTree& tree) { return ReadOnlyDirectory(tree, true); },
     Place::BesideTheExecutable},
    {"SystemDirectory", [](const test::TempTree&) { return SystemProgramDirectory(); },
     Place::UserConfig},
    {"AnotherUsersDirectory",
     [](const test::TempTree& tree) {
         tree.makeDir("shared");
         const std::string directory = tree.path("shared");
#ifndef _WIN32
         fs::permissions(directory, fs::perms::all);
         if (::chown(directory.c_str(), 65534, 65534) != 0)
             ADD_FAILURE() << "chown: " << std::strerror(errno);
#endif
         return directory + "/";
     },
     Place::UserConfig, LocationCase::Needs::Root},
};

class SettingsLocationTest : public testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationTest, ChoosesTheFile) {
    const LocationCase& c = GetParam();
#ifdef _WIN32
    if (c.needs != LocationCase::Needs::Anyone)
        GTEST_SKIP() << test::kNoPermissionBits;
#else
    const bool root = ::geteuid() == 0;
    if (c.needs == LocationCase::Needs::NotRoot && root)
        GTEST_SKIP() << "permissions do not stop root";
    if (c.needs == LocationCase::Needs::Root && !root)
        GTEST_SKIP() << "only root can give a directory to another user";
#endif

    const test::TempTree tree;
    const std::string executableDirectory = c.executableDirectory(tree);
    const std::string configDirectory = tree.path("config/");
    const std::string expected = c.expected == Place::BesideTheExecutable
                                     ? executableDirectory + "trellisk.ini"
                                     : configDirectory + test::NativePath("trellisk/trellisk.ini");
    EXPECT_EQ(ChooseSettingsFile(executableDirectory, configDirectory), expected);
    // Choosing writes nothing anywhere.
    EXPECT_FALSE(fs::exists(FsPath(configDirectory)));
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsLocationTest, testing::ValuesIn(kLocationCases),
                         [](const testing::TestParamInfo<LocationCase>& param) {
                             return std::string(param.param.name);
                         });

// Sets or clears environment variables for one test and puts the old values back.
class EnvironmentGuard {
public:
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        Set(name, value);
    }
    ~EnvironmentGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            Set(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
    }

private:
    static void Set(const char* name, const char* value) {
#ifdef _WIN32
        // An empty value removes the variable on Windows, as unset does.
        ::_putenv_s(name, value ? value : "");
#else
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
#endif
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

struct ConfigCase {
    const char* configHome;
    const char* home;
    const char* expected;
};

#ifdef _WIN32
// Roaming settings: APPDATA when absolute, else the profile's AppData\Roaming.
constexpr const char* kConfigVariable = "APPDATA";
constexpr const char* kHomeVariable = "USERPROFILE";
const ConfigCase kConfigCases[] = {
    {"D:\\data\\config", "C:\\Users\\me", "D:\\data\\config\\"},
    {"\\\\server\\share\\config\\", "C:\\Users\\me", "\\\\server\\share\\config\\"},
    {nullptr, "C:\\Users\\me", "C:\\Users\\me\\AppData\\Roaming\\"},
    {"", "C:\\Users\\me\\", "C:\\Users\\me\\AppData\\Roaming\\"},
    {"relative\\config", "C:\\Users\\me", "C:\\Users\\me\\AppData\\Roaming\\"},
};
#else
constexpr const char* kConfigVariable = "XDG_CONFIG_HOME";
constexpr const char* kHomeVariable = "HOME";
const ConfigCase kConfigCases[] = {
    {"/xdg/config", "/home/me", "/xdg/config/"},
    {"/xdg/config/", "/home/me", "/xdg/config/"},
    {nullptr, "/home/me", "/home/me/.config/"},
    {"", "/home/me/", "/home/me/.config/"},
    // A relative value is not a base directory and is ignored.
    {"relative/config", "/home/me", "/home/me/.config/"},
};
#endif

TEST(UserConfigDirectory, FollowsTheBaseDirectoryRules) {
    for (const ConfigCase& c : kConfigCases) {
        EnvironmentGuard environment;
        environment.set(kConfigVariable, c.configHome);
        environment.set(kHomeVariable, c.home);
        EXPECT_EQ(platform::UserConfigDirectory(), c.expected)
            << (c.configHome ? c.configHome : "(unset)");
    }
}

TEST(UserConfigDirectory, WithoutHomeTakesThePasswordDatabases) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no password database; without a profile the settings stay "
                    "beside the program";
#else
    EnvironmentGuard environment;
    environment.set("XDG_CONFIG_HOME", nullptr);
    environment.set("HOME", nullptr);
    const std::string directory = platform::UserConfigDirectory();
    EXPECT_TRUE(directory.starts_with("/")) << directory;
    EXPECT_TRUE(directory.ends_with("/.config/")) << directory;
#endif
}

TEST(MakeSettingsDirectory, MakesMissingLevelsPrivateAndTheFileCanBeSaved) {
    const test::TempTree tree;
    const std::string file = tree.path("config/trellisk/trellisk.ini");
    ASSERT_EQ(MakeSettingsDirectory(file), std::nullopt);
#ifndef _WIN32
    // A new Windows folder takes its parent's access list instead, the user's own under the
    // profile.
    for (const char* level : {"config", "config/trellisk"})
        EXPECT_EQ(fs::status(tree.path(level)).permissions(), fs::perms::owner_all) << level;
#endif
    ASSERT_EQ(SettingsFile(file).save(Settings{}), std::nullopt);
    EXPECT_TRUE(fs::is_regular_file(FsPath(file)));
}

TEST(MakeSettingsDirectory, LeavesAnExistingDirectoryAsItIs) {
    const test::TempTree tree;
    tree.makeDir("config");
    fs::permissions(FsPath(tree.path("config")),
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(MakeSettingsDirectory(tree.path("config/trellisk.ini")), std::nullopt);
    EXPECT_EQ(fs::status(FsPath(tree.path("config"))).permissions() & fs::perms::others_read,
              fs::perms::others_read);
}

TEST(MakeSettingsDirectory, AFileInTheWayIsAnError) {
    const test::TempTree tree;
    tree.makeFile("config");
    const std::string file = tree.path("config/trellisk/trellisk.ini");
    EXPECT_EQ(MakeSettingsDirectory(file), file + ": " + test::NotAFolderText());
    tree.makeDir("other");
    tree.makeFile("other/trellisk");
    const std::string other = tree.path("other/trellisk/trellisk.ini");
    EXPECT_EQ(MakeSettingsDirectory(other), other + ": " + test::NotAFolderText());
}

} // namespace
} // namespace trellisk
