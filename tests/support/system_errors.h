#pragma once

#include <string>

namespace trellisk::test {

// The system's texts for the failures the tests provoke, as the engine reports them.
[[nodiscard]] std::string MissingFolderText(); // a path through a folder that is not there
[[nodiscard]] std::string IsAFolderText();     // a folder where a file is written
[[nodiscard]] std::string NotAFolderText();    // a file where a folder is needed
[[nodiscard]] std::string AccessDeniedText();  // a file its user may not read

} // namespace trellisk::test
