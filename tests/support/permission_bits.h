#pragma once

namespace trellisk::test {

// While it lives, permission bits bind this thread even when it runs as root: the
// capabilities that override them are taken out of the effective set and put back after.
// So a test of an unreadable directory runs under root (as in CI) too.
class PermissionBitsApply {
public:
    PermissionBitsApply();
    ~PermissionBitsApply();
    PermissionBitsApply(const PermissionBitsApply&) = delete;
    PermissionBitsApply& operator=(const PermissionBitsApply&) = delete;

    // False when the overriding capabilities could not be given up.
    [[nodiscard]] bool active() const { return active_; }

private:
    bool active_ = false;
    bool restore_ = false;
};

} // namespace trellisk::test
