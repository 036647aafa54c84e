#pragma once

#include "desktop/dialogs/dialogs.h"

#include <QStringList>

namespace trellisk::test {

// Records the boxes the program would show and answers its questions with No; the file
// dialogs answer with the path set beforehand, or as cancelled.
class RecordingDialogs final : public Dialogs {
public:
    void message(QWidget*, const QString& text) override { messages << text; }
    bool yesNo(QWidget*, const QString& text) override {
        questions << text;
        return false;
    }
    void error(QWidget*, const QString& text) override { errors << text; }
    std::optional<QString> chooseFolder(QWidget*) override {
        ++folderRequests;
        return folderAnswer;
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString& initialName) override {
        saveInitialNames << initialName;
        return saveAnswer;
    }

    QStringList messages;
    QStringList questions;
    QStringList errors;
    int folderRequests = 0;
    std::optional<QString> folderAnswer;
    QStringList saveInitialNames;
    std::optional<QString> saveAnswer;
};

} // namespace trellisk::test
