#include "tests/support/permission_bits.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace trellisk::test {

namespace {

constexpr unsigned kOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool Capabilities(__user_cap_data_struct (&data)[2], bool write) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(write ? SYS_capset : SYS_capget, &header, data) == 0;
}

bool SetOverrides(bool on) {
    __user_cap_data_struct data[2]{};
    if (!Capabilities(data, false))
        return false;
    data[0].effective =
        on ? data[0].effective | (data[0].permitted & kOverrides) : data[0].effective & ~kOverrides;
    return Capabilities(data, true);
}

bool HasOverrides() {
    __user_cap_data_struct data[2]{};
    return Capabilities(data, false) && (data[0].effective & kOverrides) != 0;
}

} // namespace

PermissionBitsApply::PermissionBitsApply() {
    if (!HasOverrides()) {
        active_ = true;
        return;
    }
    restore_ = SetOverrides(false);
    active_ = restore_;
}

PermissionBitsApply::~PermissionBitsApply() {
    if (restore_)
        SetOverrides(true);
}

} // namespace trellisk::test
