#pragma once

namespace trellisk::platform {

// Gives the calling thread less of the processor than the program's other threads get when
// they compete, so that background readers never keep the window thread from its events.
void LowerCurrentThreadPriority();

} // namespace trellisk::platform
