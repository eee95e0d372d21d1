// File > "Export Picture...", the status text of "Save Bitmap", the folder the open dialog starts in,
// and the version in the Help menu.
#include "AppTestSupport.h"

#include "../signal/WavBytes.h"
#include "../view/PngDecode.h"

#include "ProgramInfo.h"
#include "spectral/Palettes.h"
#include "view/qt/TImgView32.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

namespace {

class ExportTest : public WindowTest {
protected:
    // A new window, shown, with a second of a 3000 Hz tone read from a.wav.
    TMainForm& FormWithPicture() {
        TMainForm& form = NewForm();
        form.show();
        form.LoadWavFile(QString::fromStdString(WriteWav("a.wav", Tone(48000, 3000, 48000), 48000, 1)));
        return form;
    }
    std::string MakeFolder(const std::string& name) {
        std::filesystem::create_directories(PathIn(name));
        return PathIn(name);
    }
};

// Answers the next file dialog the window opens: records the folder it shows and what it offers,
// then lets `answer` accept a name or cancel (empty).
struct DialogAnswer {
    QString Folder;
    QStringList Filters;
    QString Suffix;
    QTimer Timer;

    explicit DialogAnswer(std::function<QString(QFileDialog&)> answer) {
        Timer.setInterval(10);
        QObject::connect(&Timer, &QTimer::timeout, [this, answer] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            Timer.stop();
            Folder = dialog->directory().absolutePath();
            Filters = dialog->nameFilters();
            const QString name = answer(*dialog);
            if (name.isEmpty()) return dialog->reject();
            // Typed into the name field, as a user does: selectFile() looks the name up in the folder's
            // model, which the dialog fills on a thread of its own, and on a loaded machine the name
            // could still be missing from it when the dialog is accepted.
            auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (field == nullptr) return dialog->reject();
            field->setText(name);
            Suffix = dialog->defaultSuffix();
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, which is protected
        });
        Timer.start();
    }
};

struct ExportCase {
    const char* Name;    // the name chosen in the dialog, in a folder of its own
    bool Png;            // the file holds a PNG (else a BMP)
    PaletteItem Palette; // shown at the click
};

void PrintTo(const ExportCase& exported, std::ostream* out) {
    *out << exported.Name;
}

class ExportFormats : public ExportTest, public ::testing::WithParamInterface<ExportCase> {};

} // namespace

TEST_P(ExportFormats, WritesThePictureAsShownAndSaysWhere) {
    TMainForm& form = FormWithPicture();
    form.Spectrum1Click(GetParam().Palette);
    const std::string target = MakeFolder("pictures") + "/" + GetParam().Name;
    form.AskExportFileName = [&](const QString&) { return QString::fromStdString(target); };
    ASSERT_TRUE(Child<QAction>("mnuExportPicture")->isEnabled());
    Child<QAction>("mnuExportPicture")->trigger();
    ASSERT_TRUE(Errors.isEmpty()) << Errors.front().toStdString();
    EXPECT_EQ(form.StatusText(0).toStdString(), " Picture saved to " + target);

    // The same picture as "Save Bitmap" writes, in the chosen format.
    Child<QToolButton>("sbSavePicturea")->click();
    const wavtest::Bytes bmp = wavtest::ReadFile(Folder() + "/Spectr_a.wav.bmp");
    const TBitmap32& shown = form.SrcImage->Bitmap();
    if (GetParam().Png) {
        const pngtest::DecodedPng png = pngtest::DecodePng(target);
        ASSERT_TRUE(png.Ok);
        EXPECT_EQ(png.Width, uint32_t(shown.Width()));
        EXPECT_TRUE(pngtest::SameColours(png, bmp.data() + 54, shown.PixelCount()));
    } else {
        EXPECT_EQ(wavtest::ReadFile(target), bmp);
    }
}
INSTANTIATE_TEST_SUITE_P(Formats, ExportFormats,
                         ::testing::Values(ExportCase{"one.png", true, PaletteItem::Spectrum},
                                           ExportCase{"two.PNG", true, PaletteItem::Rainbow},
                                           ExportCase{"three.bmp", false, PaletteItem::Grayscale}));

TEST_F(ExportTest, SaveBitmapSaysWhereItWrote) {
    TMainForm& form = FormWithPicture();
    Child<QToolButton>("sbSavePicturea")->click();
    EXPECT_EQ(form.StatusText(0).toStdString(), " Picture saved to " + Folder() + "/Spectr_a.wav.bmp");
    EXPECT_TRUE(std::filesystem::exists(Folder() + "/Spectr_a.wav.bmp"));
}

TEST_F(ExportTest, TheExportFolderIsRemembered) {
    TMainForm& form = FormWithPicture();
    QStringList suggestions;
    std::string answer = MakeFolder("first") + "/x.png";
    form.AskExportFileName = [&](const QString& suggested) {
        suggestions.append(suggested);
        return QString::fromStdString(answer);
    };
    Child<QAction>("mnuExportPicture")->trigger();
    answer = MakeFolder("second") + "/y.bmp";
    Child<QAction>("mnuExportPicture")->trigger();

    // A later start suggests the folder of the last export.
    TMainForm& again = FormWithPicture();
    again.AskExportFileName = [&](const QString& suggested) {
        suggestions.append(suggested);
        return QString();
    };
    Child<QAction>("mnuExportPicture")->trigger();
    ASSERT_EQ(suggestions.size(), 3);
    EXPECT_EQ(suggestions[0].toStdString(), Folder() + "/Spectr_a.wav.png"); // the start directory at first
    EXPECT_EQ(suggestions[1].toStdString(), PathIn("first") + "/Spectr_a.wav.png");
    EXPECT_EQ(suggestions[2].toStdString(), PathIn("second") + "/Spectr_a.wav.png");
}

TEST_F(ExportTest, CancelWritesNothingAndAFailureReachesTheErrorReport) {
    TMainForm& form = FormWithPicture();
    const QString before = form.StatusText(0);
    form.AskExportFileName = [](const QString&) { return QString(); };
    Child<QAction>("mnuExportPicture")->trigger();
    EXPECT_EQ(form.StatusText(0), before);
    EXPECT_FALSE(StoredSettings().contains("ExportFolder"));

    form.AskExportFileName = [this](const QString&) { return QString::fromStdString(PathIn("none/x.png")); };
    Child<QAction>("mnuExportPicture")->trigger();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors.front().startsWith("Cannot create file")) << Errors.front().toStdString();
    EXPECT_EQ(form.StatusText(0), before);
    EXPECT_FALSE(form.Busy());
}

TEST_F(ExportTest, TheItemFollowsTheSaveControls) {
    TMainForm& form = NewForm();
    QAction* item = Child<QAction>("mnuExportPicture");
    EXPECT_EQ(Caption(item), "Export Picture...");
    EXPECT_FALSE(item->isEnabled()); // nothing loaded
    form.show();
    bool enabledDuringJob = true;
    WhileJobRuns(form, [&] { enabledDuringJob = item->isEnabled(); });
    form.LoadWavFile(QString::fromStdString(WriteWav("a.wav", Tone(48000, 3000, 48000), 48000, 1)));
    EXPECT_FALSE(enabledDuringJob);
    EXPECT_TRUE(item->isEnabled());
}

// The real dialog: it opens in the suggested folder, offers PNG and BMP, and gives a name typed
// without an extension that of the chosen format.
TEST_F(ExportTest, TheDialogOffersPngAndBmp) {
    const std::string folder = MakeFolder("real");
    StoredSettings().setValue("ExportFolder", QString::fromStdString(folder));
    FormWithPicture();
    DialogAnswer answer([](QFileDialog& dialog) {
        dialog.selectNameFilter("BMP (*.bmp)");
        emit dialog.filterSelected("BMP (*.bmp)");
        return QStringLiteral("typed");
    });
    Child<QAction>("mnuExportPicture")->trigger();
    EXPECT_EQ(answer.Folder.toStdString(), folder);
    EXPECT_EQ(answer.Filters, (QStringList{"PNG (*.png)", "BMP (*.bmp)"}));
    EXPECT_EQ(answer.Suffix, "bmp");
    EXPECT_TRUE(std::filesystem::exists(folder + "/typed.bmp"));
    EXPECT_EQ(wavtest::ReadFile(folder + "/typed.bmp").at(0), 'B');
}

TEST_F(ExportTest, TheOpenDialogStartsInTheFolderOfTheLastFileOpened) {
    TMainForm& form = NewForm();
    form.show();
    EXPECT_EQ(form.OpenDialogFolder(), ""); // first start: the current folder, as before
    const std::string folder = MakeFolder("recordings");
    const std::string file = folder + "/b.wav";
    std::filesystem::rename(WriteWav("b.wav", Tone(8000, 700, 8000), 8000, 1), file);
    form.AskOpenFileName = [&] { return QString::fromStdString(file); };
    Child<QAction>("mnuOpen")->trigger();
    EXPECT_EQ(form.Session().Store().FileName, file);
    EXPECT_EQ(form.OpenDialogFolder().toStdString(), folder);

    // A later start opens the real dialog there.
    NewForm().show();
    DialogAnswer answer([](QFileDialog&) { return QString(); });
    Child<QAction>("mnuOpen")->trigger();
    EXPECT_EQ(answer.Folder.toStdString(), folder);
    EXPECT_FALSE(Form().Session().Store().Loaded());
}

TEST_F(ExportTest, AFirstStartStoresNothingNew) {
    NewForm().show();
    EXPECT_TRUE(Form().close());
    for (const char* key : {"OpenFolder", "ExportFolder"})
        EXPECT_FALSE(StoredSettings().contains(key)) << key;
}

TEST_F(ExportTest, TheHelpMenuShowsTheVersion) {
    NewForm();
    QAction* version = Child<QAction>("mnuVersion");
    EXPECT_EQ(Caption(version).toStdString(), "Version " + std::string(kOrvaneVersion));
    QMenu* help = Child<QMenu>("mnuHelp");
    ASSERT_EQ(help->actions().size(), 2);
    EXPECT_EQ(Caption(help->actions().at(0)), "About");
    EXPECT_EQ(help->actions().at(1), version);
}
