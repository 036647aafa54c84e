#include "tests/support/x11_probe.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace trellisk::test {

namespace {

// Replies are allocated by xcb with malloc.
template <class Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;
template <class Reply> ReplyPtr<Reply> Owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

} // namespace

X11Probe::X11Probe() : connection_(xcb_connect(nullptr, nullptr)) {
    if (isConnected())
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
}

X11Probe::~X11Probe() {
    xcb_disconnect(connection_);
}

bool X11Probe::isConnected() const {
    return xcb_connection_has_error(connection_) == 0;
}

std::uint32_t X11Probe::atom(const char* name) const {
    const auto reply = Owned(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

QList<QByteArray> X11Probe::windowClass(std::uint32_t window) const {
    const auto reply = Owned(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
        nullptr));
    if (!reply)
        return {};
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get()));
    QList<QByteArray> names = value.split('\0');
    if (!names.isEmpty() && names.last().isEmpty())
        names.removeLast();
    return names;
}

std::uint32_t X11Probe::iconLength(std::uint32_t window) const {
    const auto reply = Owned(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window, atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    return reply ? reply->value_len + reply->bytes_after / 4 : 0;
}

std::optional<std::uint32_t> X11Probe::findByClass(std::uint32_t window,
                                                   const QByteArray& className) const {
    if (windowClass(window).value(1) == className)
        return window;
    const auto tree =
        Owned(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!tree)
        return std::nullopt;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int child = 0; child < xcb_query_tree_children_length(tree.get()); ++child) {
        if (const auto found = findByClass(children[child], className))
            return found;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> X11Probe::findByClass(const QByteArray& className) const {
    return findByClass(root_, className);
}

std::optional<std::uint32_t> X11Probe::activeWindow() const {
    const auto reply = Owned(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, root_, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    const auto window = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;
    return window;
}

QList<int> X11Probe::screenRect(std::uint32_t window) const {
    const auto geometry =
        Owned(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    const auto origin = Owned(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
    if (!geometry || !origin)
        return {};
    return {origin->dst_x, origin->dst_y, geometry->width, geometry->height};
}

} // namespace trellisk::test
