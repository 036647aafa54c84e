#pragma once

#include "engine/settings/settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace trellisk {

// Reads the text of a settings file into `settings`, appending its folder entries to those
// already there. On an error the problem is returned and whatever was read before it is kept.
//
// Lines end in CR LF, LF or a lone CR; a UTF-8 byte-order mark before the first line is
// skipped. A folder block ends at the end of the text: the row being read gets its missing
// fields empty and no further rows are made, whatever the count says. A count, interval or
// depth line is an integer when it is an optional '+' or '-' followed by one or more decimal
// digits and nothing else (no blanks), within the range of a 32-bit int. An interval outside
// kMinInterval..kMaxInterval is clamped to that range. Only the flag text "する" watches the
// subfolders, and a depth line that is no integer means no limit, as they always did; such
// texts are written back in their written form ("しない", "0").
[[nodiscard]] std::optional<std::string> ParseSettings(std::string_view text, Settings& settings);

// The sub-monitor flag as the file stores it and the folder table shows it: "する" or "しない".
[[nodiscard]] const char* SubfoldersText(bool subfolders);

// The file's text for the settings: the folder entries and the interval, CR LF line ends.
[[nodiscard]] std::string SettingsText(const Settings& settings);

// The settings file of one run: loaded at start, saved at exit. What could not be loaded is
// never lost by the save: a file that did not load cleanly is kept as "<name>.bak" before it
// is first replaced, a file that could not be read at all is only replaced when the settings
// changed since, and anything but a regular file (or a link to one) is neither read nor
// replaced. A link is saved through: the file it points to gets the new text.
class SettingsFile {
public:
    explicit SettingsFile(std::string fileName) : fileName_(std::move(fileName)) {}

    [[nodiscard]] const std::string& fileName() const { return fileName_; }
    [[nodiscard]] std::string backupName() const { return fileName_ + ".bak"; }

    // Reads the file into `settings`; a missing file leaves them as they are. Returns the
    // message to show when the load was not clean; it names the file.
    [[nodiscard]] std::optional<std::string> load(Settings& settings);

    // Writes the settings through a temporary file that then replaces the old one, so a
    // failure leaves the old file as it was. Returns the message to show; it names the file.
    [[nodiscard]] std::optional<std::string> save(const Settings& settings);

private:
    enum class Loaded { Cleanly, Partly, Unreadable, NotRegularFile };

    std::string fileName_;
    Loaded loaded_ = Loaded::Cleanly;
    bool backupPending_ = false;
    std::string loadedText_; // the settings as the load left them
};

} // namespace trellisk
