#include "engine/platform/threads.h"

#include <windows.h>

namespace trellisk::platform {

void LowerCurrentThreadPriority() {
    static_cast<void>(::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL));
}

} // namespace trellisk::platform
