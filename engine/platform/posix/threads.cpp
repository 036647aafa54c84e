#include "engine/platform/threads.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace trellisk::platform {

void LowerCurrentThreadPriority() {
    // On Linux the nice value belongs to each thread; raising it needs no privilege.
    constexpr int kLower = 5;
    const auto self = static_cast<id_t>(::gettid());
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, self);
    if (errno == 0)
        static_cast<void>(::setpriority(PRIO_PROCESS, self, current + kLower));
}

} // namespace trellisk::platform
