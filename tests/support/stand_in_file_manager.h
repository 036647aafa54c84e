#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QThread>

namespace trellisk::test {

class FileManagerObject;

// A file manager on the session bus as the folder lookup sees one: it owns
// org.freedesktop.FileManager1 and answers for OpenWindowsWithLocations as a test tells it.
// It serves from a thread of its own, so a caller that blocks on its answer gets one.
class StandInFileManager {
public:
    enum class Answer {
        Windows,    // the windows given to setWindows() (a{sas})
        NoProperty, // the error a service without the property sends
        WrongType,  // a list of strings instead of the windows
        Silence,    // never an answer
    };

    StandInFileManager();
    ~StandInFileManager();
    StandInFileManager(const StandInFileManager&) = delete;
    StandInFileManager& operator=(const StandInFileManager&) = delete;

    // Takes the name on the session bus, whose address is read now; false when that fails.
    [[nodiscard]] bool start();
    // Gives the name up again.
    void stop();

    // Window object path -> the URIs it shows.
    void setWindows(const QMap<QString, QStringList>& windows);
    void setAnswer(Answer answer);
    // How many times the property was asked for.
    [[nodiscard]] int requests() const;

private:
    QThread thread_;
    FileManagerObject* object_ = nullptr; // lives in thread_
    QString connectionName_;
};

} // namespace trellisk::test
