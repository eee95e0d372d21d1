#include "app/OrvaneApplication.h"

#include "app/ErrorReport.h"

OrvaneApplication::OrvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Orvane+");
    setApplicationDisplayName("Orvane+");
}

bool OrvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowErrorReport(ExceptionMessage(std::current_exception()));
        return false;
    }
}
