// File > "Recent": the files opened last (app/RecentFiles.h), newest first, each opened as File > Open
// opens it; a file that is gone is taken off the list when chosen. "Clear" empties the list.
#include "app/RecentFiles.h"
#include "app/TMainForm.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {

// "&1 /path/name.wav" ... "1&0 ...": a digit to choose it by, and the path with its "&" doubled.
QString RecentItemCaption(int index, const QString& path) {
    const QString number = QString::number(index + 1);
    const QString mnemonic = number.left(number.size() - 1) + "&" + number.right(1);
    return mnemonic + " " + QDir::toNativeSeparators(path).replace("&", "&&");
}

} // namespace

void TMainForm::BuildRecentMenu() {
    recentFiles_ = std::make_unique<RecentFiles>(*settings_);
    QMenu* fileMenu = menuBar()->findChild<QMenu*>("mnuFile");
    mnuRecent = new QMenu("&Recent", fileMenu);
    mnuRecent->setObjectName("mnuRecent");
    mnuRecent->menuAction()->setObjectName("mnuRecentItem");
    // Right below "Open...".
    const QList<QAction*> items = fileMenu->actions();
    const qsizetype open = items.indexOf(mnuOpen);
    fileMenu->insertMenu(items.value(open + 1), mnuRecent);
    connect(mnuRecent, &QMenu::aboutToShow, this, &TMainForm::ShowRecentFiles);
    ShowRecentFiles();
}

void TMainForm::ShowRecentFiles() {
    mnuRecent->clear();
    const QStringList& files = recentFiles_->Files();
    for (int index = 0; index < files.size(); ++index) {
        const QString path = files[index];
        QAction* item = mnuRecent->addAction(RecentItemCaption(index, path));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    mnuRecent->addSeparator();
    QAction* clear = mnuRecent->addAction("&Clear");
    clear->setObjectName("mnuRecentClear");
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [this] {
        recentFiles_->Clear();
        ShowRecentFiles();
    });
}

void TMainForm::RememberRecentFile(const QString& fileName) {
    recentFiles_->Add(fileName);
    ShowRecentFiles();
}

void TMainForm::OpenRecentFile(const QString& path) {
    if (busy_ || !ConfirmUnsavedChanges()) return;
    Player.StopPlayback(true);
    const ReadOutcome outcome = LoadWavFile(path);
    // Panel 0 says why it was not read; a file that is no longer there leaves the list.
    if (!outcome.Opened && !QFileInfo::exists(path)) {
        recentFiles_->Remove(path);
        ShowRecentFiles();
    }
}
