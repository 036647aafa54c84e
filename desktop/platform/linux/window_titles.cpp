#include "desktop/platform/window_titles.h"
#include "desktop/platform/window_title_limit.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace trellisk::platform {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

struct Disconnect {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

// Errors are taken here and dropped, so that they never pile up in the event queue; a failed
// request simply gives no reply.
template <typename T, typename Cookie>
Reply<T> Take(T* (*get)(xcb_connection_t*, Cookie, xcb_generic_error_t**), xcb_connection_t* c,
              Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    Reply<T> reply(get(c, cookie, &error));
    std::free(error);
    return reply;
}

xcb_atom_t Atom(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie) {
    auto reply = Take(xcb_intern_atom_reply, c, cookie);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_screen_t* ScreenOf(xcb_connection_t* c, int number) {
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == number)
            return it.data;
    }
    return nullptr;
}

// The window manager's list of managed windows; null when no manager publishes one.
Reply<xcb_get_property_reply_t> ClientList(xcb_connection_t* c, xcb_window_t root,
                                           xcb_atom_t clientListAtom) {
    if (clientListAtom == XCB_ATOM_NONE)
        return nullptr;
    auto reply =
        Take(xcb_get_property_reply, c,
             xcb_get_property(c, 0, root, clientListAtom, XCB_ATOM_WINDOW, 0, UINT32_MAX / 4));
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32)
        return nullptr;
    return reply;
}

std::vector<xcb_window_t> TopLevelWindows(xcb_connection_t* c, xcb_window_t root,
                                          xcb_atom_t clientListAtom) {
    if (auto list = ClientList(c, root, clientListAtom)) {
        auto* first = static_cast<xcb_window_t*>(xcb_get_property_value(list.get()));
        return {first, first + xcb_get_property_value_length(list.get()) / 4};
    }
    auto tree = Take(xcb_query_tree_reply, c, xcb_query_tree(c, root));
    if (!tree)
        return {};
    xcb_window_t* first = xcb_query_tree_children(tree.get());
    return {first, first + xcb_query_tree_children_length(tree.get())};
}

// The text of an 8-bit property, up to its first NUL (as a C caller of the title would see
// it), cut to the title limit without splitting a UTF-8 character.
std::string TitleText(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 8)
        return {};
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply));
    std::string text(bytes, strnlen(bytes, xcb_get_property_value_length(reply)));
    CutToTitleLimit(text);
    return text;
}

struct WindowQuery {
    xcb_get_window_attributes_cookie_t attributes;
    std::optional<xcb_get_property_cookie_t> netName;
    xcb_get_property_cookie_t name;
};

} // namespace

std::vector<std::string> VisibleWindowTitles() {
    int screenNumber = 0;
    Connection c(xcb_connect(nullptr, &screenNumber));
    if (xcb_connection_has_error(c.get()))
        return {};
    const xcb_screen_t* screen = ScreenOf(c.get(), screenNumber);
    if (!screen)
        return {};

    auto clientListCookie = xcb_intern_atom(c.get(), 1, 16, "_NET_CLIENT_LIST");
    auto netNameCookie = xcb_intern_atom(c.get(), 1, 12, "_NET_WM_NAME");
    auto utf8Cookie = xcb_intern_atom(c.get(), 1, 11, "UTF8_STRING");
    const xcb_atom_t clientList = Atom(c.get(), clientListCookie);
    const xcb_atom_t netName = Atom(c.get(), netNameCookie);
    const xcb_atom_t utf8 = Atom(c.get(), utf8Cookie);

    const std::vector<xcb_window_t> windows = TopLevelWindows(c.get(), screen->root, clientList);

    // All requests go out before the first reply is awaited: one round trip, not three per
    // window. 64 units of 32 bits hold one byte more than a title keeps, enough to cut it.
    constexpr std::uint32_t kTitleUnits = (kMaxWindowTitleBytes + 1) / 4;
    std::vector<WindowQuery> queries;
    queries.reserve(windows.size());
    for (xcb_window_t w : windows) {
        WindowQuery q{};
        q.attributes = xcb_get_window_attributes(c.get(), w);
        if (netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
            q.netName = xcb_get_property(c.get(), 0, w, netName, utf8, 0, kTitleUnits);
        q.name = xcb_get_property(c.get(), 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0,
                                  kTitleUnits);
        queries.push_back(q);
    }

    std::vector<std::string> titles;
    for (const WindowQuery& q : queries) {
        auto attributes = Take(xcb_get_window_attributes_reply, c.get(), q.attributes);
        Reply<xcb_get_property_reply_t> netNameReply;
        if (q.netName)
            netNameReply = Take(xcb_get_property_reply, c.get(), *q.netName);
        auto nameReply = Take(xcb_get_property_reply, c.get(), q.name);
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        std::string title;
        if (netNameReply && netNameReply->type == utf8)
            title = TitleText(netNameReply.get());
        if (title.empty())
            title = TitleText(nameReply.get());
        if (!title.empty())
            titles.push_back(std::move(title));
    }
    return titles;
}

} // namespace trellisk::platform
