#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trellisk {

// The local path that a "file://" URI names, its host empty or "localhost":
// "file:///tmp/a%20b" gives "/tmp/a b". Each escape becomes its byte as it is, so a name that
// is not UTF-8 survives ("%FF" is the byte 0xFF). Any other scheme or host, a query or a
// fragment, a malformed escape, and an escaped NUL or "/" (no name holds either) give nullopt.
[[nodiscard]] std::optional<std::string> LocalPathOfFileUri(std::string_view uri);

} // namespace trellisk
