#include "desktop/tray/tray_availability.h"

namespace trellisk {

TrayAvailability::TrayAvailability(std::function<bool()> probe, bool availableNow, int intervalMs,
                                   QObject* parent)
    : QObject(parent), probe_(std::move(probe)), available_(availableNow) {
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &TrayAvailability::check);
    timer_.start();
}

void TrayAvailability::check() {
    const bool available = probe_();
    if (available == available_)
        return;
    available_ = available;
    emit changed(available);
}

} // namespace trellisk
