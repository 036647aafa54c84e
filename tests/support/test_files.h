#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace trellisk::test {

// The whole file, or nothing when it cannot be read.
[[nodiscard]] QByteArray ReadFile(const QString& path);
// Writes `bytes` to the file (replacing it, or appended with QIODevice::Append); false when it
// could not be opened or written.
[[nodiscard]] bool WriteFile(const QString& path, const QByteArray& bytes,
                             QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Truncate);

} // namespace trellisk::test
