#include "engine/text/text_helpers.h"

#include "engine/platform/local_time.h"
#include "engine/platform/path_rules.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace trellisk {

namespace {

std::string DateOnly(const std::tm& local) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}

bool IsMidnight(const std::tm& local) {
    return local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
}

std::string RightAligned11(std::string digits) {
    if (digits.size() < 11)
        digits.insert(0, 11 - digits.size(), ' ');
    return digits;
}

} // namespace

std::string WithTrailingSeparator(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != platform::kPathSeparator)
        result.push_back(platform::kPathSeparator);
    return result;
}

int FolderDepth(std::string_view root, std::string_view path) {
    const auto parts = [](std::string_view text) {
        return static_cast<int>(std::count(text.begin(), text.end(), platform::kPathSeparator)) + 1;
    };
    return parts(path) - parts(root) + (platform::IsRootPath(root) ? 1 : 0);
}

std::string FormatThousands(std::int64_t value) {
    std::string digits = std::to_string(value < 0 ? -static_cast<std::uint64_t>(value)
                                                  : static_cast<std::uint64_t>(value));
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return value < 0 ? "-" + digits : digits;
}

std::string SizeText(std::uint64_t size) {
    return RightAligned11(std::to_string(size));
}

std::string SizeChangeText(std::int64_t change) {
    return RightAligned11(std::to_string(change));
}

bool HasControlCharacters(std::string_view text) {
    return std::ranges::any_of(text, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string VisibleText(std::string_view text) {
    if (!HasControlCharacters(text))
        return std::string(text);
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string visible;
    visible.reserve(text.size() + 8);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            visible += "\\\\";
            break;
        case '\t':
            visible += "\\t";
            break;
        case '\r':
            visible += "\\r";
            break;
        case '\n':
            visible += "\\n";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                visible += "\\x";
                visible += kHexDigits[byte >> 4];
                visible += kHexDigits[byte & 0xF];
            } else {
                visible += c;
            }
        }
    }
    return visible;
}

std::optional<int> ParseInteger(std::string_view text) {
    const char* first = text.data();
    const char* last = first + text.size();
    // from_chars takes '-' but not '+'; a sign must still be followed by a digit.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> ParseSize(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(first);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::int64_t DateKey(std::int64_t seconds) {
    // Floor, not truncation, so that times before the epoch round down as well.
    return seconds - ((seconds % 2) + 2) % 2;
}

std::string DateText(std::int64_t dateKey) {
    std::tm local = platform::LocalTime(static_cast<std::time_t>(dateKey));
    local.tm_sec -= local.tm_sec % 2; // zones with odd-second offsets
    if (IsMidnight(local))
        return DateOnly(local);
    char time[16];
    std::snprintf(time, sizeof time, " %02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return DateOnly(local) + time;
}

std::string DateTimeText(std::time_t now) {
    const std::tm local = platform::LocalTime(now);
    if (IsMidnight(local))
        return DateOnly(local);
    char time[16];
    std::snprintf(time, sizeof time, " %d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return DateOnly(local) + time;
}

} // namespace trellisk
