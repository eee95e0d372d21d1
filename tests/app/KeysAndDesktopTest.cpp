// The window at its first-start size and from the keyboard: status panels that elide with the whole
// text in their tool tips, readings visible at 800 pixels, ruler labels that never meet, menu
// mnemonics, tool buttons reached with Tab and named, File > "Recent", the desktop identity, and the
// texts of a stopped picture and a stopped edit.
#include "AppTestSupport.h"
#include "app/DesktopIdentity.h"
#include "app/RecentFiles.h"
#include "app/SettingsKey.h"
#include "app/TElidedPanel.h"
#include "app/TRulerPaintBox.h"
#include "view/qt/TImgView32.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include <set>

namespace {

class KeysTest : public WindowTest {
protected:
    TMainForm& FirstStart(const std::string& file) {
        TMainForm& form = NewForm();
        form.resize(800, 400);
        form.show();
        form.LoadWavFile(QString::fromStdString(file));
        QApplication::processEvents();
        return form;
    }
    std::string TwoChannelFile() { return WriteWav("iq.wav", Tone(96000, 3000, 48000), 48000, 2); }
};

TEST_F(KeysTest, AtEightHundredPixelsEveryPanelElidesWithItsWholeTextInItsToolTipAndTheReadoutIsWhole) {
    TMainForm& form = FirstStart(TwoChannelFile());
    ASSERT_EQ(form.width(), 800);
    const QList<QLabel*> panels =
        form.statusBar()->findChildren<QLabel*>(QRegularExpression("^StatusPanel\\d$"));
    ASSERT_EQ(panels.size(), 7);
    for (int panel = 0; panel < 5; ++panel) {
        const QString text =
            QString(" Picture saved to /a/long/folder/name/Spectr_rec_%1.bmp, with more").arg(panel);
        form.SetStatus(panel, text);
        QApplication::processEvents();
        auto* elided = qobject_cast<TElidedPanel*>(form.StatusPanels[panel]);
        ASSERT_NE(elided, nullptr) << panel;
        EXPECT_GT(elided->width(), 20) << panel;
        EXPECT_TRUE(elided->text().endsWith(QChar(0x2026))) << panel << elided->text().toStdString();
        EXPECT_EQ(elided->toolTip(), text.trimmed()) << panel;
        EXPECT_EQ(form.StatusText(panel), text);
    }
    // The pointer over the picture: the whole readout shows, and the marker panel keeps some room.
    const QPoint over = form.SrcImage->viewport()->rect().center();
    QMouseEvent move(QEvent::MouseMove, over, form.SrcImage->viewport()->mapToGlobal(over), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form.SrcImage->viewport(), &move);
    ASSERT_TRUE(ProcessUntil([&] {
        return form.ReadoutPanel->FullText().contains("dBFS") &&
               !form.ReadoutPanel->FullText().contains("...");
    }));
    QApplication::processEvents();
    EXPECT_TRUE(form.ReadoutPanel->ShowsWholeText()) << form.ReadoutPanel->text().toStdString();
    EXPECT_GE(form.MarkerPanel->width(), 80);
    EXPECT_LE(form.minimumSizeHint().width(), 800);
}

TEST_F(KeysTest, AtEightHundredByFourHundredTheRulersLabelsNeverMeetInEitherView) {
    TMainForm& form = FirstStart(TwoChannelFile());
    const auto noneMeet = [&](const char* view) {
        QApplication::processEvents();
        const RulerLayout layout = form.RulerPaintBox->CurrentLayout();
        ASSERT_GE(layout.Labels.size(), 4u) << view;
        for (size_t i = 0; i < layout.Labels.size(); ++i)
            for (size_t j = i + 1; j < layout.Labels.size(); ++j)
                EXPECT_FALSE(LabelsMeet(layout.Labels[i], layout.Labels[j]))
                    << view << ": " << layout.Labels[i].Label.Text << " / " << layout.Labels[j].Label.Text;
    };
    noneMeet("two bands");
    form.AskCentreFrequency = [](int64_t) { return std::optional<int64_t>(145800000); };
    Child<QAction>("mnuCentreFrequency")->trigger();
    Child<QAction>("mnuIQSpectrum")->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return !form.Busy(); }));
    ASSERT_TRUE(form.RulerPaintBox->Complex());
    noneMeet("complex, radio frequencies");
    // The column widens to the radio frequencies' labels.
    ASSERT_TRUE(ProcessUntil([&] { return form.RulerPaintBox->width() > 28; }));
    EXPECT_GE(form.RulerPaintBox->width(), form.RulerPaintBox->CurrentLayout().Width);
}

// Walks every menu: each item has a mnemonic, and no two items of a menu share one.
void ExpectUniqueMnemonics(const QString& where, const QList<QAction*>& items, int& menus) {
    ++menus;
    std::set<QChar> letters;
    for (QAction* item : items) {
        if (item->isSeparator() || !item->isVisible()) continue;
        const QString text = QString(item->text()).replace("&&", "");
        const qsizetype at = text.indexOf('&');
        ASSERT_TRUE(at >= 0 && at + 1 < text.size())
            << where.toStdString() << " > " << item->text().toStdString();
        EXPECT_TRUE(letters.insert(text.at(at + 1).toLower()).second)
            << where.toStdString() << " > " << item->text().toStdString();
        if (item->menu()) ExpectUniqueMnemonics(where + " > " + text, item->menu()->actions(), menus);
    }
}

TEST_F(KeysTest, EveryMenuHasUniqueMnemonicsAndAltFOpensFile) {
    TMainForm& form = FirstStart(TwoChannelFile());
    int menus = 0;
    ExpectUniqueMnemonics("menu bar", form.menuBar()->actions(), menus);
    ExpectUniqueMnemonics("palette", form.SrcViewPopupMenu->actions(), menus);
    EXPECT_GE(menus, 7); // the bar, File, Recent, Edit, Options, Format Interpretator, Help, palette
    EXPECT_EQ(Child<QAction>("mnuOpen")->text(), "&Open...");
    EXPECT_EQ(Caption(Child<QAction>("mnuOpen")), "Open...");
}

TEST_F(KeysTest, TabReachesEveryToolButtonLeftToRightTopToBottomAndEachHasAName) {
    TMainForm& form = FirstStart(TwoChannelFile());
    form.activateWindow();
    form.ComboFFTSize->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> reached;
    for (int press = 0; press < 80; ++press) {
        QWidget* focused = QApplication::focusWidget();
        if (!reached.empty() && focused == reached.front()) break;
        reached.push_back(focused);
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    std::vector<QToolButton*> buttons;
    for (QWidget* widget : reached)
        if (auto* button = qobject_cast<QToolButton*>(widget)) buttons.push_back(button);
    for (QToolButton* button : form.findChildren<QToolButton*>()) {
        if (!button->isVisibleTo(&form) || !button->isEnabled() || button->objectName().isEmpty()) continue;
        EXPECT_NE(std::find(buttons.begin(), buttons.end(), button), buttons.end())
            << button->objectName().toStdString();
        EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();
        if (button->text().isEmpty() && !button->toolTip().isEmpty()) {
            EXPECT_EQ(button->accessibleName(), button->toolTip());
        }
    }
    ASSERT_GE(buttons.size(), 10u);
    // Reading order: a button below the one before it, or on the same row to its right.
    for (size_t i = 1; i < buttons.size(); ++i) {
        const QPoint before = buttons[i - 1]->mapTo(&form, QPoint(0, 0));
        const QPoint now = buttons[i]->mapTo(&form, QPoint(0, 0));
        EXPECT_TRUE(now.y() > before.y() + 5 || (std::abs(now.y() - before.y()) <= 5 && now.x() > before.x()))
            << buttons[i - 1]->objectName().toStdString() << " then "
            << buttons[i]->objectName().toStdString();
    }
}

TEST(RecentFilesList, NewestFirstEachOnceAtMostTenAndKeptOverARestartOfTheSettings) {
    QTemporaryDir folder;
    StoredSettings().clear();
    {
        SettingsKey settings;
        RecentFiles recent(settings);
        EXPECT_TRUE(recent.Files().isEmpty());
        for (int file = 1; file <= 12; ++file) recent.Add(folder.filePath(QString("f%1.wav").arg(file)));
        recent.Add(folder.filePath("f5.wav")); // again: to the top, once
        ASSERT_EQ(recent.Files().size(), RecentFiles::kMostFiles);
        EXPECT_EQ(recent.Files().front(), folder.filePath("f5.wav"));
        EXPECT_EQ(recent.Files().at(1), folder.filePath("f12.wav"));
        EXPECT_EQ(recent.Files().back(), folder.filePath("f3.wav")); // f1 and f2 dropped off
        EXPECT_EQ(recent.Files().count(folder.filePath("f5.wav")), 1);
        recent.Remove(folder.filePath("f12.wav"));
    }
    SettingsKey settings;
    RecentFiles again(settings);
    ASSERT_EQ(again.Files().size(), 9);
    EXPECT_EQ(again.Files().front(), folder.filePath("f5.wav"));
    EXPECT_EQ(again.Files().at(1), folder.filePath("f11.wav"));
    again.Clear();
    EXPECT_TRUE(RecentFiles(settings).Files().isEmpty());
    StoredSettings().clear();
}

TEST_F(KeysTest, RecentListsTheOpenedFilesAndAMissingOneLeavesWithTheOpensError) {
    const std::string first = WriteWav("first.wav", Tone(4800, 500, 48000), 48000, 1);
    const std::string second = WriteWav("second.wav", Tone(4800, 500, 48000), 48000, 1);
    TMainForm& form = FirstStart(first);
    form.LoadWavFile(QString::fromStdString(second));
    QMenu* recent = Child<QMenu>("mnuRecent");
    const auto items = [&] {
        QStringList paths;
        for (QAction* item : recent->actions())
            if (item->data().isValid()) paths << item->data().toString();
        return paths;
    };
    EXPECT_EQ(items(), (QStringList{QString::fromStdString(second), QString::fromStdString(first)}));
    EXPECT_TRUE(recent->actions().front()->text().startsWith("&1 "));
    EXPECT_EQ(Caption(recent->actions().back()), "Clear");

    std::filesystem::remove(first);
    recent->actions().at(1)->trigger();
    EXPECT_TRUE(form.StatusText(0).startsWith(" ERROR: ")) << form.StatusText(0).toStdString();
    EXPECT_EQ(items(), QStringList{QString::fromStdString(second)});
    EXPECT_EQ(form.Recent().Files(), QStringList{QString::fromStdString(second)});

    recent->actions().back()->trigger();
    EXPECT_TRUE(items().isEmpty());
    EXPECT_FALSE(recent->actions().back()->isEnabled());
}

TEST_F(KeysTest, TheWindowCarriesThePackagedIconAndTheDesktopFileName) {
    ApplyDesktopIdentity();
    const QIcon icon = QGuiApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    EXPECT_FALSE(icon.pixmap(48, 48).toImage().isNull());
    EXPECT_EQ(QGuiApplication::desktopFileName(), "org.orvane.OrvanePlus");
}

TEST_F(KeysTest, AStoppedPictureSaysWhereItStopped) {
    TMainForm& form = FirstStart(WriteWav("big.wav", Tone(size_t(1) << 22, 700, 48000), 48000, 1));
    WhileJobRuns(form, [&form] { form.sbStopLoadClick(); });
    ChooseItem(form.ComboFFTSize, 5);
    const QRegularExpression stopped("^ Stopped at (\\d+\\.\\d) s of (\\d+\\.\\d) s \\(\\d+ ms\\)$");
    const QRegularExpressionMatch match = stopped.match(form.StatusText(2));
    ASSERT_TRUE(match.hasMatch()) << form.StatusText(2).toStdString();
    EXPECT_EQ(match.captured(2), "87.4"); // 4194304 values at 48000 Hz
    EXPECT_LE(match.captured(1).toDouble(), 87.4);
}

TEST_F(KeysTest, UndoOfTheStoppedEditTakesBackItsTextButUndoOfALaterEditKeepsIt) {
    TMainForm& form = FirstStart(WriteWav("tone.wav", Tone(400000, 700, 48000), 48000, 1));
    Child<QLineEdit>("EditLPF")->setText("1000");
    WhileJobRuns(form, [&form] { form.sbStopLoadClick(); });
    form.sbLPFFilterClick();
    const QString stoppedText = " LPF stopped: the recording is changed in part.";
    ASSERT_EQ(form.StatusText(0), stoppedText);
    form.sbNormAmpClick();
    form.SetStatus(0, stoppedText); // as if the later edit had left panel 0 alone
    form.mnuUndoClick();            // Amp: the part-changed recording is back
    EXPECT_EQ(form.StatusText(0), stoppedText);
    form.mnuUndoClick(); // the stopped LPF
    EXPECT_FALSE(form.StatusText(0).contains("changed in part")) << form.StatusText(0).toStdString();
}

} // namespace
