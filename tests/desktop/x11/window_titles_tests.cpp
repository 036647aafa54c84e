#include "desktop/platform/window_titles.h"
#include "engine/settings/folder_import.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace trellisk {
namespace {

using platform::VisibleWindowTitles;

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Creates top-level windows on the display the test runs under, the way another program's
// windows would look without a window manager.
class WindowTitlesTest : public ::testing::Test {
protected:
    // One connection for the whole suite: a server resets when its last client leaves and
    // refuses connections while it does, which would fail the next test at random.
    static void SetUpTestSuite() { c = xcb_connect(nullptr, nullptr); }
    static void TearDownTestSuite() { xcb_disconnect(c); }

    void SetUp() override {
        ASSERT_EQ(xcb_connection_has_error(c), 0) << "these tests need an X11 display";
        root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        netWmName = Intern("_NET_WM_NAME");
        utf8String = Intern("UTF8_STRING");
        clientList = Intern("_NET_CLIENT_LIST");

        std::string pattern = (fs::temp_directory_path() / "trellisk-windows-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override {
        if (xcb_connection_has_error(c) == 0) {
            xcb_delete_property(c, root, clientList);
            for (xcb_window_t w : windows)
                xcb_destroy_window(c, w);
            Sync();
        }
        if (!folder.empty())
            fs::remove_all(folder);
    }

    xcb_atom_t Intern(const char* name) {
        auto cookie = xcb_intern_atom(c, 0, std::strlen(name), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }

    // A round trip: everything sent before it has been carried out by the server.
    void Sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    void SetText(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const std::string& text) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8, text.size(),
                            text.data());
    }

    xcb_window_t CreateWindow(std::optional<std::string> netName, std::optional<std::string> name,
                              bool mapped) {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (netName)
            SetText(w, netWmName, utf8String, *netName);
        if (name)
            SetText(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, *name);
        if (mapped)
            xcb_map_window(c, w);
        Sync();
        windows.push_back(w);
        return w;
    }

    xcb_window_t CreateFolderWindow(const std::string& path, bool mapped) {
        return CreateWindow(path, path, mapped);
    }

    std::string MakeFolder(const std::string& name) {
        const fs::path path = folder / name;
        fs::create_directory(path);
        return path.string();
    }

    // The titles of this test's own windows, in the order listed.
    std::vector<std::string> OwnTitles(const std::vector<std::string>& titles) {
        std::vector<std::string> own;
        for (const std::string& t : titles) {
            if (t.starts_with(folder.string()))
                own.push_back(t);
        }
        return own;
    }

    static inline xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t utf8String = XCB_ATOM_NONE;
    xcb_atom_t clientList = XCB_ATOM_NONE;
    fs::path folder;
    std::vector<xcb_window_t> windows;
};

TEST_F(WindowTitlesTest, ListsMappedWindowsInStackingOrderAndSkipsHiddenOnes) {
    const std::string first = MakeFolder("first");
    const std::string hidden = MakeFolder("hidden");
    const std::string last = MakeFolder("last");
    CreateFolderWindow(first, true);
    CreateFolderWindow(hidden, false);
    CreateFolderWindow(last, true);

    const auto titles = VisibleWindowTitles();
    EXPECT_EQ(OwnTitles(titles), (std::vector<std::string>{first, last}));

    const auto candidates = FolderCandidates({}, titles);
    EXPECT_TRUE(Contains(candidates, first));
    EXPECT_TRUE(Contains(candidates, last));
    EXPECT_FALSE(Contains(candidates, hidden));
}

TEST_F(WindowTitlesTest, FollowsTheWindowManagersClientList) {
    const std::string a = MakeFolder("a");
    const std::string hidden = MakeFolder("hidden");
    const std::string b = MakeFolder("b");
    const xcb_window_t wa = CreateFolderWindow(a, true);
    const xcb_window_t wh = CreateFolderWindow(hidden, false);
    const xcb_window_t wb = CreateFolderWindow(b, true);
    CreateFolderWindow(MakeFolder("unmanaged"), true);

    const xcb_window_t list[] = {wb, wh, wa};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, clientList, XCB_ATOM_WINDOW, 32, 3, list);
    Sync();

    EXPECT_EQ(VisibleWindowTitles(), (std::vector<std::string>{b, a}));
}

TEST_F(WindowTitlesTest, JapaneseFolderNameComesThroughTheUtf8Title) {
    const std::string path = MakeFolder("監視フォルダ");
    CreateWindow(path, std::string("legacy title"), true);

    const auto titles = VisibleWindowTitles();
    EXPECT_TRUE(Contains(titles, path));
    EXPECT_FALSE(Contains(titles, "legacy title"));
    EXPECT_TRUE(Contains(FolderCandidates({}, titles), path));
}

TEST_F(WindowTitlesTest, FallsBackToTheLegacyTitle) {
    const std::string path = MakeFolder("legacy");
    CreateWindow(std::nullopt, path, true);
    const std::string empty = MakeFolder("empty-utf8");
    CreateWindow(std::string(), empty, true);

    const auto titles = VisibleWindowTitles();
    EXPECT_TRUE(Contains(titles, path));
    EXPECT_TRUE(Contains(titles, empty));
}

TEST_F(WindowTitlesTest, LeavesOutUntitledWindows) {
    const std::string marker = MakeFolder("marker");
    CreateWindow(std::nullopt, std::nullopt, true);
    CreateFolderWindow(marker, true);

    for (const std::string& t : VisibleWindowTitles())
        EXPECT_FALSE(t.empty());
}

TEST_F(WindowTitlesTest, CutsLongTitlesAtACharacterBoundary) {
    const std::string prefix = folder.string() + "/";
    ASSERT_LT(prefix.size(), 250u);
    const std::string a254 = prefix + std::string(254 - prefix.size(), 'x');
    struct Case {
        std::string title;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {a254 + "y", a254 + "y"},  // exactly 255 bytes: whole
        {a254 + "yz", a254 + "y"}, // 256 bytes: the last byte goes
        {a254 + "あ", a254},       // a 3-byte character across the limit goes whole
        {a254.substr(0, 252) + "あい", a254.substr(0, 252) + "あ"}, // ends right at 255
    };
    for (const Case& cs : cases)
        CreateWindow(cs.title, cs.title, true);

    std::vector<std::string> expected;
    for (const Case& cs : cases)
        expected.push_back(cs.shown);
    EXPECT_EQ(OwnTitles(VisibleWindowTitles()), expected);
}

TEST(WindowTitlesWithoutDisplay, GiveAnEmptyList) {
    const char* saved = std::getenv("DISPLAY");
    const std::string previous = saved ? saved : "";
    for (const char* display : {static_cast<const char*>(nullptr), ":4711", "no display"}) {
        if (display)
            setenv("DISPLAY", display, 1);
        else
            unsetenv("DISPLAY");
        EXPECT_TRUE(VisibleWindowTitles().empty()) << (display ? display : "(unset)");
    }
    if (saved)
        setenv("DISPLAY", previous.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

} // namespace
} // namespace trellisk
