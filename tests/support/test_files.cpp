#include "tests/support/test_files.h"

#include <QFile>

namespace trellisk::test {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode) {
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace trellisk::test
