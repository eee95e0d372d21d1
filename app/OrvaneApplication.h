// The application object: every event goes through notify, which turns an exception escaping a
// handler into the general error report instead of ending the program.
#pragma once

#include <QApplication>

class OrvaneApplication : public QApplication {
    Q_OBJECT
public:
    OrvaneApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
