// Helpers of the window tests: clean settings, a working folder, recordings written for the test,
// the error report captured, and ways to act while a job runs.
#pragma once

#include "app/ErrorReport.h"
#include "app/TMainForm.h"
#include "signal/WavWriter.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaObject>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

// A menu item's caption as shown, without the "&" of its mnemonic.
inline QString Caption(const QAction* action) {
    return QString(action->text()).replace("&&", QChar(1)).remove('&').replace(QChar(1), "&");
}

inline QSettings StoredSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tolvek", "OrvanePlus");
}

// Every window test starts without settings, in an empty working folder (the start directory), with
// the error report recorded instead of shown.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        StoredSettings().clear();
        previousDirectory_ = std::filesystem::current_path();
        ASSERT_TRUE(folder_.isValid());
        std::filesystem::current_path(folder_.path().toStdString());
        SetErrorReportHandler([this](const QString& message) { Errors.append(message); });
    }
    void TearDown() override {
        form_.reset();
        SetErrorReportHandler({});
        std::filesystem::current_path(previousDirectory_);
        StoredSettings().clear();
    }

    // A new window, created as the program creates it. Its question about unsaved changes is
    // counted and answered with `UnsavedAnswer` (Discard unless a test says otherwise).
    TMainForm& NewForm() {
        form_.reset();
        form_ = std::make_unique<TMainForm>();
        form_->AskUnsavedChanges = [this] {
            ++UnsavedQuestions;
            return UnsavedAnswer;
        };
        return *form_;
    }
    TMainForm& Form() { return *form_; }

    std::string Folder() const { return folder_.path().toStdString(); }
    std::string PathIn(const std::string& name) const { return Folder() + "/" + name; }

    template <class T = QObject> T* Child(const char* name) {
        T* child = form_->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // A 16-bit WAV of `values` at `rate` with `channels` channels.
    std::string WriteWav(const std::string& name, const std::vector<int16_t>& values, int32_t rate,
                         uint16_t channels) {
        WavFormatRecord record;
        record.ChannelCount = channels;
        record.SampleRate = rate;
        record.Data = values;
        const std::string path = PathIn(name);
        EXPECT_EQ(WriteWavFile(path, record), kWavWriteOk);
        return path;
    }

    // `count` values of a tone of `hertz` at `rate`, amplitude 8000.
    static std::vector<int16_t> Tone(size_t count, double hertz, int32_t rate) {
        std::vector<int16_t> values(count);
        for (size_t i = 0; i < count; ++i)
            values[i] =
                int16_t(std::lround(8000 * std::sin(2 * std::numbers::pi * hertz * double(i) / rate)));
        return values;
    }

    QStringList Errors;
    int UnsavedQuestions = 0;
    UnsavedChoice UnsavedAnswer = UnsavedChoice::Discard;

private:
    QTemporaryDir folder_;
    std::filesystem::path previousDirectory_;
    std::unique_ptr<TMainForm> form_;
};

// Runs `action` once on the user-interface thread while the next job of `form` runs: at the job's
// first progress report above 0, whose thread then waits until the action has run (so that a stop the
// action presses finds the job running however fast it is), or from the job's nested event loop,
// whichever comes first (a job that reports nothing, or runs until it is stopped).
inline void WhileJobRuns(TMainForm& form, std::function<void()> action) {
    auto once = std::make_shared<std::atomic<bool>>(false);
    auto run = std::make_shared<std::function<void()>>(std::move(action));
    const std::thread::id userInterface = std::this_thread::get_id();
    form.Session().Job().ProgressObserver = [once, run, userInterface](int percent) {
        if (percent <= 0 || once->exchange(true)) return;
        if (std::this_thread::get_id() == userInterface) return (*run)();
        std::promise<void> done;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                (*run)();
                done.set_value();
            },
            Qt::QueuedConnection);
        done.get_future().wait();
    };
    QTimer::singleShot(0, [once, run] {
        if (!once->exchange(true)) (*run)();
    });
}

// Processes the window's events until `done` holds; false after `timeout`.
inline bool ProcessUntil(const std::function<bool()>& done,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QCoreApplication::processEvents();
    return true;
}

// Selects item `index` of a drop-down list as the user does (the change handler runs).
inline void ChooseItem(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}
