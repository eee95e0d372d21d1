// The application's general error report: the one place where an unexpected failure (a number that
// cannot be converted, a file that cannot be created, memory that runs out) is shown to the user.
// The program keeps running afterwards.
#pragma once

#include <QString>

#include <exception>
#include <functional>

// Shows `message` in a message box, or hands it to the handler installed below.
void ShowErrorReport(const QString& message);

// The message of a caught exception (std::exception::what, or a generic text for anything else).
QString ExceptionMessage(const std::exception_ptr& failure);

// Runs `command`; an exception escaping it is shown through the report and goes no further.
void RunReported(const std::function<void()>& command);

// Replaces the message box, e.g. by a recorder in tests; an empty handler restores the message box.
using ErrorReportHandler = std::function<void(const QString&)>;
void SetErrorReportHandler(ErrorReportHandler handler);
