#pragma once

#include "app/dialogs.h"

#include <QStringList>

namespace trellisk::test {

// Records the boxes the program would show and answers its questions with No.
class RecordingDialogs final : public Dialogs {
public:
    void message(QWidget*, const QString& text) override { messages << text; }
    bool yesNo(QWidget*, const QString& text) override {
        questions << text;
        return false;
    }
    void error(QWidget*, const QString& text) override { errors << text; }

    QStringList messages;
    QStringList questions;
    QStringList errors;
};

} // namespace trellisk::test
