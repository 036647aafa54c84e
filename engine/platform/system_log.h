#pragma once

#include <string>

namespace trellisk::platform {

// Reports an error where no window can show it: on standard error and in the system log.
void ReportError(const std::string& text);

} // namespace trellisk::platform
