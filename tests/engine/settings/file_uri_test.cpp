#include "engine/settings/file_uri.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace trellisk {
namespace {

TEST(LocalPathOfFileUri, DecodesLocalFileUrisToBytes) {
    struct Case {
        std::string uri;
        std::optional<std::string> path;
    };
    const std::vector<Case> cases = {
        {"file:///tmp/x/some/folder", "/tmp/x/some/folder"},
        {"file:///tmp/x/%E6%97%A5%E6%9C%AC%E8%AA%9E%20%E3%83%95%E3%82%A9%E3%83%AB%E3%83%80",
         "/tmp/x/日本語 フォルダ"},
        {"file:///tmp/%FF%fe", "/tmp/\xFF\xFE"}, // not UTF-8: the bytes, either case
        {"file:///tmp/%2541", "/tmp/%41"},       // decoded once only
        {"file:///tmp/日本語", "/tmp/日本語"},   // unescaped UTF-8 is taken as it is
        {"file://localhost/srv/a", "/srv/a"},    // the local host by name
        {"FILE://LocalHost/srv/a", "/srv/a"},    // scheme and host in any case
        {"file:///", "/"},                       // the root
        {"file:///tmp/a/", "/tmp/a/"},           // a trailing separator kept
        {"file://server/share/a", std::nullopt}, // another host
        {"sftp://host/tmp/a", std::nullopt},     // another scheme
        {"trash:///", std::nullopt},             // a file manager's own place
        {"file:/tmp/a", std::nullopt},           // no host part
        {"file://localhost", std::nullopt},      // no path
        {"/tmp/a", std::nullopt},                // a path, not a URI
        {"", std::nullopt},
        {"file:///tmp/a%2", std::nullopt},   // escape cut short
        {"file:///tmp/a%G0", std::nullopt},  // not hexadecimal
        {"file:///tmp/a%00b", std::nullopt}, // NUL would cut the path
        {"file:///tmp/a%2Fb", std::nullopt}, // "/" is in no name
        {"file:///tmp/a?b", std::nullopt},   // a query
        {"file:///tmp/a#b", std::nullopt},   // a fragment
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalPathOfFileUri(c.uri), c.path) << c.uri;
}

} // namespace
} // namespace trellisk
