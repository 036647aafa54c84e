#include "engine/platform/program_places.h"
#include "engine/settings/settings.h"
#include "engine/settings/settings_file.h"
#include "engine/settings/settings_location.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace trellisk {
namespace {

namespace fs = std::filesystem;

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
    fs::permissions(tree.path("portable"), fs::perms::owner_read | fs::perms::owner_exec);
    return tree.path("portable/");
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
    {"SystemDirectory", [](const test::TempTree&) { return std::string("/usr/bin/"); },
     Place::UserConfig},
    {"AnotherUsersDirectory",
     [](const test::TempTree& tree) {
         tree.makeDir("shared");
         const std::string directory = tree.path("shared");
         fs::permissions(directory, fs::perms::all);
         if (::chown(directory.c_str(), 65534, 65534) != 0)
             ADD_FAILURE() << "chown: " << std::strerror(errno);
         return directory + "/";
     },
     Place::UserConfig, LocationCase::Needs::Root},
};

class SettingsLocationTest : public testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationTest, ChoosesTheFile) {
    const LocationCase& c = GetParam();
    const bool root = ::geteuid() == 0;
    if (c.needs == LocationCase::Needs::NotRoot && root)
        GTEST_SKIP() << "permissions do not stop root";
    if (c.needs == LocationCase::Needs::Root && !root)
        GTEST_SKIP() << "only root can give a directory to another user";

    const test::TempTree tree;
    const std::string executableDirectory = c.executableDirectory(tree);
    const std::string configDirectory = tree.path("config/");
    const std::string expected = c.expected == Place::BesideTheExecutable
                                     ? executableDirectory + "trellisk.ini"
                                     : configDirectory + "trellisk/trellisk.ini";
    EXPECT_EQ(ChooseSettingsFile(executableDirectory, configDirectory), expected);
    // Choosing writes nothing anywhere.
    EXPECT_FALSE(fs::exists(configDirectory));
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
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvironmentGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

struct ConfigCase {
    const char* configHome;
    const char* home;
    const char* expected;
};

TEST(UserConfigDirectory, FollowsTheBaseDirectoryRules) {
    const ConfigCase cases[] = {
        {"/xdg/config", "/home/me", "/xdg/config/"},
        {"/xdg/config/", "/home/me", "/xdg/config/"},
        {nullptr, "/home/me", "/home/me/.config/"},
        {"", "/home/me/", "/home/me/.config/"},
        // A relative value is not a base directory and is ignored.
        {"relative/config", "/home/me", "/home/me/.config/"},
    };
    for (const ConfigCase& c : cases) {
        EnvironmentGuard environment;
        environment.set("XDG_CONFIG_HOME", c.configHome);
        environment.set("HOME", c.home);
        EXPECT_EQ(platform::UserConfigDirectory(), c.expected)
            << (c.configHome ? c.configHome : "(unset)");
    }
}

TEST(UserConfigDirectory, WithoutHomeTakesThePasswordDatabases) {
    EnvironmentGuard environment;
    environment.set("XDG_CONFIG_HOME", nullptr);
    environment.set("HOME", nullptr);
    const std::string directory = platform::UserConfigDirectory();
    EXPECT_TRUE(directory.starts_with("/")) << directory;
    EXPECT_TRUE(directory.ends_with("/.config/")) << directory;
}

TEST(MakeSettingsDirectory, MakesMissingLevelsPrivateAndTheFileCanBeSaved) {
    const test::TempTree tree;
    const std::string file = tree.path("config/trellisk/trellisk.ini");
    ASSERT_EQ(MakeSettingsDirectory(file), std::nullopt);
    for (const char* level : {"config", "config/trellisk"})
        EXPECT_EQ(fs::status(tree.path(level)).permissions(), fs::perms::owner_all) << level;
    ASSERT_EQ(SettingsFile(file).save(Settings{}), std::nullopt);
    EXPECT_TRUE(fs::is_regular_file(file));
}

TEST(MakeSettingsDirectory, LeavesAnExistingDirectoryAsItIs) {
    const test::TempTree tree;
    tree.makeDir("config");
    fs::permissions(tree.path("config"), fs::perms::owner_all | fs::perms::group_read |
                                             fs::perms::group_exec | fs::perms::others_read |
                                             fs::perms::others_exec);
    EXPECT_EQ(MakeSettingsDirectory(tree.path("config/trellisk.ini")), std::nullopt);
    EXPECT_EQ(fs::status(tree.path("config")).permissions() & fs::perms::others_read,
              fs::perms::others_read);
}

TEST(MakeSettingsDirectory, AFileInTheWayIsAnError) {
    const test::TempTree tree;
    tree.makeFile("config");
    const std::string file = tree.path("config/trellisk/trellisk.ini");
    EXPECT_EQ(MakeSettingsDirectory(file), file + ": " + std::strerror(ENOTDIR));
    tree.makeDir("other");
    tree.makeFile("other/trellisk");
    const std::string other = tree.path("other/trellisk/trellisk.ini");
    EXPECT_EQ(MakeSettingsDirectory(other), other + ": " + std::strerror(ENOTDIR));
}

} // namespace
} // namespace trellisk
