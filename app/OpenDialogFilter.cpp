#include "app/OpenDialogFilter.h"

#include "signal/CaptureType.h"

QString OpenDialogFilter() {
    QString captures;
    for (const std::string& name : AllCaptureTypeNames())
        captures += (captures.isEmpty() ? "*." : " *.") + QString::fromStdString(name);
    return QStringLiteral("wav (*.wav);;Any File (*);;SigMF recording (*.sigmf-meta *.sigmf-data);;I/Q Capture (") +
           captures + QStringLiteral(")");
}
