#include "app/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

#include <new>
#include <stdexcept>

namespace {
ErrorReportHandler& InstalledHandler() {
    static ErrorReportHandler handler;
    return handler;
}
} // namespace

void ShowErrorReport(const QString& message) {
    if (InstalledHandler()) {
        InstalledHandler()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
}

QString ExceptionMessage(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void RunReported(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        ShowErrorReport(ExceptionMessage(std::current_exception()));
    }
}

void SetErrorReportHandler(ErrorReportHandler handler) {
    InstalledHandler() = std::move(handler);
}
