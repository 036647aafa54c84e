#include "engine/platform/system_log.h"

#include <cstdio>
#include <syslog.h>

namespace trellisk::platform {

void ReportError(const std::string& text) {
    std::fprintf(stderr, "trellisk: %s\n", text.c_str());
    std::fflush(stderr);
    ::openlog("trellisk", LOG_PID, LOG_USER);
    ::syslog(LOG_ERR, "%s", text.c_str());
    ::closelog();
}

} // namespace trellisk::platform
