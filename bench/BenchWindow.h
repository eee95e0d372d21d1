// The main window of the window benchmarks: the application on Qt's platform, the window at its
// benchmark size with `path` as the file every "Open" asks for, and the error reports printed and
// counted instead of shown.
#pragma once

#include "app/ErrorReport.h"
#include "app/OrvaneApplication.h"
#include "app/TMainForm.h"

#include <cstdio>
#include <string>

namespace bench {

class BenchWindow {
public:
    BenchWindow(char** argv, const std::string& path) : application_(argc_, argv) {
        SetErrorReportHandler([this](const QString& message) {
            ++Errors;
            std::printf("error report: %s\n", qPrintable(message));
        });
        Form.resize(1024, 700);
        Form.show();
        Form.AskOpenFileName = [path] { return QString::fromStdString(path); };
    }

    int Errors = 0;

private:
    int argc_ = 1;
    OrvaneApplication application_;

public:
    TMainForm Form;
};

} // namespace bench
