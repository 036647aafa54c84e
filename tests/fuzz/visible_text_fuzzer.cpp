// Any bytes as a field of the saved log: the escaped text holds no control character, is the
// field itself when it had none, and reads back to the field when it had some.
#include "engine/text/text_helpers.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The reading the escapes are made for.
std::optional<std::string> Unescape(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            plain += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            plain += '\\';
            break;
        case 't':
            plain += '\t';
            break;
        case 'r':
            plain += '\r';
            break;
        case 'n':
            plain += '\n';
            break;
        case 'x': {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            plain += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return plain;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view field(reinterpret_cast<const char*>(data), size);
    const std::string visible = trellisk::VisibleText(field);
    Require(!trellisk::HasControlCharacters(visible));
    if (!trellisk::HasControlCharacters(field))
        Require(visible == field);
    else
        Require(Unescape(visible) == std::string(field));
    return 0;
}
