#include "engine/platform/win32/put_in_place.h"

namespace trellisk::platform {

std::optional<std::string> PutInPlace(const std::string& from, const std::string& to,
                                      ReplaceFileCall replace) {
    const std::wstring source = LongPath(from);
    const std::wstring target = LongPath(to);
    if (replace(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                nullptr))
        return std::nullopt;
    const DWORD error = ::GetLastError();
    switch (error) {
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        // Both files kept their names: the old one stays whole, untouched.
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        // The old file was moved aside, which happens only under a backup name (never given
        // here): nothing more is moved, so nothing can land on it.
        return ErrorText(error);
    default:
        // ERROR_UNABLE_TO_MOVE_REPLACEMENT: the new file kept its name, the old one its own or
        // none. Any other failure changed nothing: no old file to replace, or a file system
        // without ReplaceFileW. A move puts the new file in place, or fails leaving all as is.
        break;
    }
    if (::MoveFileExW(source.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    return ErrorText(::GetLastError());
}

} // namespace trellisk::platform
