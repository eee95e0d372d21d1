#include "app/OrvaneApplication.h"

#include "app/DesktopIdentity.h"
#include "app/ErrorReport.h"

OrvaneApplication::OrvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The application's title. No display name is set: the toolkit would append it to every window
    // caption (" — Orvane+"), and the main window's caption is its own.
    setApplicationName("Orvane+");
    ApplyDesktopIdentity();
}

bool OrvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowErrorReport(ExceptionMessage(std::current_exception()));
        return false;
    }
}
