#include "app/DesktopIdentity.h"

#include <QGuiApplication>
#include <QIcon>

void ApplyDesktopIdentity() {
    QIcon icon;
    for (const int size : {48, 128, 256})
        icon.addFile(QString(":/icons/%1x%1/orvane.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(kDesktopFileName);
}
