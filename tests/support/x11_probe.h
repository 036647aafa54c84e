#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace trellisk::test {

// Reads the X server's windows as a window manager or a dock sees them, over a connection of
// its own. Window ids are those of QWidget::winId().
class X11Probe {
public:
    X11Probe();
    ~X11Probe();
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    [[nodiscard]] bool isConnected() const;

    // WM_CLASS: the instance name, then the class name.
    [[nodiscard]] QList<QByteArray> windowClass(std::uint32_t window) const;
    // The number of 32-bit values in _NET_WM_ICON (0 where the window has no icon).
    [[nodiscard]] std::uint32_t iconLength(std::uint32_t window) const;
    // The first window at or below `window` whose class name is `className`.
    [[nodiscard]] std::optional<std::uint32_t> findByClass(std::uint32_t window,
                                                           const QByteArray& className) const;
    // As above, from the root window.
    [[nodiscard]] std::optional<std::uint32_t> findByClass(const QByteArray& className) const;
    // The window the window manager names active (_NET_ACTIVE_WINDOW), if any.
    [[nodiscard]] std::optional<std::uint32_t> activeWindow() const;
    // The window's rectangle on the screen: x, y, width, height.
    [[nodiscard]] QList<int> screenRect(std::uint32_t window) const;

private:
    [[nodiscard]] std::uint32_t atom(const char* name) const;

    xcb_connection_t* connection_;
    std::uint32_t root_ = 0;
};

} // namespace trellisk::test
