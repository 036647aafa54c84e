#include "engine/settings/file_uri.h"

#include <algorithm>
#include <cctype>

namespace trellisk {

namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    return std::ranges::equal(text, lowerCase, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const auto high = HexDigit(text[i + 1]);
        const auto low = HexDigit(text[i + 2]);
        if (!high || !low)
            return std::nullopt;
        const char byte = static_cast<char>(*high * 16 + *low);
        if (byte == '\0' || byte == '/')
            return std::nullopt;
        bytes.push_back(byte);
        i += 2;
    }
    return bytes;
}

} // namespace

std::optional<std::string> LocalPathOfFileUri(std::string_view uri) {
    constexpr std::string_view kScheme = "file://";
    if (uri.size() < kScheme.size() || !EqualsIgnoringCase(uri.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    uri.remove_prefix(kScheme.size());
    const std::size_t pathStart = uri.find('/');
    if (pathStart == std::string_view::npos)
        return std::nullopt;
    const std::string_view host = uri.substr(0, pathStart);
    if (!host.empty() && !EqualsIgnoringCase(host, "localhost"))
        return std::nullopt;
    const std::string_view path = uri.substr(pathStart);
    if (path.find_first_of("?#") != std::string_view::npos)
        return std::nullopt;
    return PercentDecoded(path);
}

} // namespace trellisk
