#include "engine/platform/system_log.h"

#include "engine/platform/win32/wide_text.h"

#include <cstdio>

namespace trellisk::platform {

void ReportError(const std::string& text) {
    std::fprintf(stderr, "trellisk: %s\n", text.c_str());
    std::fflush(stderr);
    // Where no console is attached the debugger output is what tools can still see.
    ::OutputDebugStringW(Wide("trellisk: " + text + "\n").c_str());
}

} // namespace trellisk::platform
