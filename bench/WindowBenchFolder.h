// What every benchmark of the real main window sets up first: Qt's offscreen platform (unless another
// is asked for) and a temporary folder that holds the window's settings, so that a run neither reads
// nor changes the user's own.
#pragma once

#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

class WindowBenchFolder {
public:
    WindowBenchFolder() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        if (folder_.isValid())
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    }
    bool Valid() const { return folder_.isValid(); }
    QString Path() const { return folder_.path(); }
    QString FilePath(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
};
