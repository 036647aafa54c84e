#pragma once

#include "desktop/dialogs/dialogs.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace trellisk::test {

// Records the boxes and dialogs the program opens and answers them: at once, or, with
// `holdAnswers`, when the test calls answerHeld(). Questions are answered No; the file dialogs
// with the path set beforehand, or as cancelled.
class RecordingDialogs final : public Dialogs {
public:
    void message(QWidget*, const QString& text, std::function<void()> closed) override {
        messages << text;
        answer([closed = std::move(closed)] {
            if (closed)
                closed();
        });
    }
    void error(QWidget*, const QString& text, std::function<void()> closed) override {
        errors << text;
        answer([closed = std::move(closed)] {
            if (closed)
                closed();
        });
    }
    void ask(QWidget*, const QString& text, std::function<void(bool)> yes) override {
        questions << text;
        answer([yes = std::move(yes)] { yes(false); });
    }
    void chooseFolder(QWidget*, std::function<void(const QString&)> chosen) override {
        ++folderRequests;
        answer([this, chosen = std::move(chosen)] {
            if (folderAnswer)
                chosen(*folderAnswer);
        });
    }
    void chooseSaveFile(QWidget*, const QString& initialName,
                        std::function<void(const QString&)> chosen) override {
        saveInitialNames << initialName;
        answer([this, chosen = std::move(chosen)] {
            if (saveAnswer)
                chosen(*saveAnswer);
        });
    }
    void withdrawQuestions() override { ++withdrawals; }
    void closeAll() override {
        ++closings;
        held.clear();
    }

    // Gives the answers held so far, in order.
    void answerHeld() {
        for (auto answers = std::exchange(held, {}); auto& given : answers)
            given();
    }

    QStringList messages;
    QStringList questions;
    QStringList errors;
    int folderRequests = 0;
    std::optional<QString> folderAnswer;
    QStringList saveInitialNames;
    std::optional<QString> saveAnswer;
    bool holdAnswers = false;
    std::vector<std::function<void()>> held;
    int withdrawals = 0;
    int closings = 0;

private:
    void answer(std::function<void()> given) {
        if (holdAnswers)
            held.push_back(std::move(given));
        else
            given();
    }
};

} // namespace trellisk::test
