#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace trellisk {

// Follows whether the desktop offers a system tray: a panel started after the program (as at
// login) brings one later, and a panel that ends takes it away. Asks `probe` at every tick.
class TrayAvailability : public QObject {
    Q_OBJECT
public:
    TrayAvailability(std::function<bool()> probe, bool availableNow, int intervalMs,
                     QObject* parent = nullptr);

signals:
    void changed(bool available);

private:
    void check();

    std::function<bool()> probe_;
    bool available_;
    QTimer timer_;
};

} // namespace trellisk
