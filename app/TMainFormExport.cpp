// File > "Export Picture...": the picture as shown, saved as PNG or BMP where the user chooses, the
// folder remembered in the settings. Also the status text of every picture save, and the folder the
// open dialog starts in.
#include "app/SettingsKey.h"
#include "app/TMainForm.h"
#include "view/PictureFile.h"
#include "view/PictureWithAxes.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

namespace {

// Settings beyond the window's own: missing at a first start, where the dialogs then start in the
// current folder (open) and in the start directory (export).
const QString kOpenFolderKey = QStringLiteral("OpenFolder");
const QString kExportFolderKey = QStringLiteral("ExportFolder");

const QString kPngFilter = QStringLiteral("PNG (*.png)");
const QString kBmpFilter = QStringLiteral("BMP (*.bmp)");

QString FolderOf(const QString& fileName) {
    return QFileInfo(fileName).absolutePath();
}

} // namespace

void TMainForm::ConnectExportHandlers() {
    connect(mnuExportPicture, &QAction::triggered, this, &TMainForm::mnuExportPictureClick);
    connect(mnuExtract, &QAction::triggered, this, &TMainForm::mnuExtractClick);
}

void TMainForm::mnuExportPictureClick() {
    if (busy_) return;
    TBitmap32 picture; // the picture as shown at the click, palette included
    picture.Assign(SrcImage->Bitmap());
    const QString folder = settings_->ReadString(kExportFolderKey, QString::fromStdString(StartDirectory));
    const QString name = QFileInfo(SpectrogramPictureFileName()).completeBaseName() + ".png";
    const QString target = AskExportTarget(folder + "/" + name);
    if (target.isEmpty()) return;
    settings_->WriteString(kExportFolderKey, FolderOf(target));
    settings_->Flush();
    const std::optional<PictureAxes> axes = ShownAxes();
    if (exportWithAxes_ && axes)
        picture = PictureWithAxes(picture, *axes, {shown_.FileName, shownGain_, ShownPalette()});
    WritePictureFile(picture, target.toStdString());
}

QString TMainForm::AskExportTarget(const QString& suggestedPath) {
    if (AskExportFileName) return AskExportFileName(suggestedPath);
    QFileDialog dialog(this, QStringLiteral("Export Picture"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({kPngFilter, kBmpFilter});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    // A name typed without an extension gets the one of the chosen format.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter == kBmpFilter ? QStringLiteral("bmp") : QStringLiteral("png"));
    });
    dialog.setDirectory(FolderOf(suggestedPath));
    dialog.selectFile(QFileInfo(suggestedPath).fileName());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setSizeGripEnabled(true);
    // "With axes": the picture with its ruler, time scale, legend and title, ready for a report. The
    // toolkit's own dialog takes the check box under its fields.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* withAxes = new QCheckBox(QStringLiteral("With axes"), &dialog);
    withAxes->setObjectName("cbExportWithAxes");
    withAxes->setChecked(exportWithAxes_);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(withAxes, grid->rowCount(), 0, 1, -1);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    exportWithAxes_ = withAxes->isChecked();
    return dialog.selectedFiles().first();
}

void TMainForm::WritePictureFile(const TBitmap32& picture, const std::string& fileName) {
    if (RunWriteJob([&] { SavePicture(picture, fileName); }))
        SetStatus(0, QStringLiteral(" Picture saved to ") + QString::fromStdString(fileName));
}

QString TMainForm::OpenDialogFolder() const {
    return settings_->ReadString(kOpenFolderKey, QString());
}

void TMainForm::RememberOpenFolder(const QString& fileName) {
    settings_->WriteString(kOpenFolderKey, FolderOf(fileName));
    settings_->Flush();
}
