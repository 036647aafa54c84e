#pragma once

#include "engine/monitor/front_end.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace trellisk::test {

// Records what monitoring asks of the front end, and runs the tasks that jobs post on the
// test's thread when the test says so. In lock-step (the default) a job that posts a task
// waits until the test's thread takes it: `onTask` then runs with the job held at that point,
// so that a test can give a command there, as a user may at any moment.
class FakeFrontEnd : public FrontEnd {
public:
    // Set before a job starts.
    bool lockStep = true;
    // Runs before the n-th task (counted from 1) is run.
    std::function<void(int task)> onTask;

    void post(std::function<void()> task) override {
        auto item = std::make_shared<Posted>();
        item->task = std::move(task);
        std::unique_lock lock(mutex_);
        queue_.push_back(item);
        changed_.notify_all();
        if (lockStep && std::this_thread::get_id() != owner_)
            changed_.wait(lock, [&] { return item->taken; });
    }

    // Runs the posted tasks, waiting for them as they come, until `done()` holds; false (and
    // a failure) when no task came for a long while.
    bool runUntil(const std::function<bool()>& done) {
        while (!done()) {
            std::shared_ptr<Posted> item;
            {
                std::unique_lock lock(mutex_);
                if (!changed_.wait_for(lock, std::chrono::seconds(60),
                                       [&] { return !queue_.empty(); })) {
                    ADD_FAILURE() << "no task was posted";
                    return false;
                }
                item = queue_.front();
            }
            ++tasks;
            if (onTask)
                onTask(tasks);
            {
                const std::lock_guard lock(mutex_);
                queue_.pop_front();
                item->taken = true;
            }
            changed_.notify_all();
            item->task();
        }
        return true;
    }

    void showMessage(const std::string& text) override { messages.push_back(text); }
    void askYesNo(const std::string& text, std::function<void(bool)> answer) override {
        questions.push_back(text);
        if (onAsk)
            onAsk();
        if (holdQuestions) {
            pendingAnswer = std::move(answer);
            return;
        }
        bool yes = false;
        if (!answers.empty()) {
            yes = answers.front();
            answers.pop_front();
        }
        answer(yes);
    }
    void withdrawQuestion() override {
        ++withdrawnQuestions;
        pendingAnswer = nullptr;
    }
    void setTrayPicture(TrayPicture picture) override { trayPictures.push_back(picture); }
    void setMonitorMenuEnabled(bool enabled) override {
        monitorMenuEnabled = enabled;
        monitorMenuHistory.push_back(enabled);
    }
    void setTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void setStatusText(const std::string& text) override { statusText = text; }
    void setBaseTimeText(const std::string& text) override { baseTimeText = text; }
    void setClearBaseAtStart(bool checked) override { restartClear = checked; }
    void showLogWindow() override { logWindowShown = true; }
    void showMainWindow() override { mainWindowShown = true; }

    [[nodiscard]] std::optional<TrayPicture> tray() const {
        if (trayPictures.empty())
            return std::nullopt;
        return trayPictures.back();
    }

    int tasks = 0;
    std::function<void()> onAsk;
    std::deque<bool> answers;   // answers to the questions; No when none is left
    bool holdQuestions = false; // questions wait for the test to call pendingAnswer
    std::function<void(bool)> pendingAnswer;
    int withdrawnQuestions = 0;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<TrayPicture> trayPictures;
    std::vector<bool> monitorMenuHistory;
    bool monitorMenuEnabled = true;
    bool timerEnabled = false;
    std::string statusText;
    std::string baseTimeText;
    bool restartClear = false;
    bool logWindowShown = false;
    bool mainWindowShown = false;

private:
    struct Posted {
        std::function<void()> task;
        bool taken = false;
    };

    const std::thread::id owner_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Posted>> queue_;
};

} // namespace trellisk::test
