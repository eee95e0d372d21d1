// What the window restores at creation and stores at close.
#include "AppTestSupport.h"

#include "app/SettingsKey.h"
#include "app/TRulerPaintBox.h"
#include "spectral/SpectrogramSettings.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

using SettingsTest = WindowTest;

TEST_F(SettingsTest, FirstStartShowsTheDefaults) {
    TMainForm& form = NewForm();
    form.show();
    EXPECT_EQ(form.size(), QSize(800, 400));
    EXPECT_EQ(form.pos(), QPoint(40, 30));
    EXPECT_FALSE(form.isMaximized());
    EXPECT_EQ(Child<QComboBox>("ComboFFTSize")->currentText(), "1024");
    EXPECT_EQ(Child<QComboBox>("ComboXResolution")->currentText(), "X = Y");
    EXPECT_EQ(Child<QComboBox>("ComboFFTWindow")->currentText(), "Nuttall");
    EXPECT_EQ(Child<QComboBox>("ComboImageGain")->currentText(), "100");
    EXPECT_EQ(Child<QComboBox>("cbFilterQuality")->currentText(), "1");
    EXPECT_TRUE(Child<QWidget>("FilterPanel")->isVisible());
    EXPECT_TRUE(Child<QWidget>("ShiftPanel")->isVisible());
    EXPECT_TRUE(Child<QAction>("mnuFilterPanel")->isChecked());
    EXPECT_TRUE(Child<QAction>("mnuShiftPanel")->isChecked());
    EXPECT_EQ(Child<QLineEdit>("EditFrq")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>("EditLPF")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>("EditASR")->text(), "48000");
    EXPECT_EQ(Child<QLineEdit>("EditFFTHiCut")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>("EditFFTLoCut")->text(), "0");
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02");
    EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, 1024);
    EXPECT_EQ(form.Session().Spectrogram().WindowTable.size(), 1024u);
    EXPECT_TRUE(form.Session().Spectrogram().SpectrogramBitmap.Empty());
    EXPECT_EQ(form.StartDirectory, Folder());
    EXPECT_FALSE(form.Session().Store().Loaded());
}

TEST_F(SettingsTest, ControlsStartAsLaidOut) {
    NewForm();
    for (const char* disabled : {"sbStopLoad", "sbSavePicturea", "sbSaveSignal", "sbResetZoom"})
        EXPECT_FALSE(Child<QWidget>(disabled)->isEnabled()) << disabled;
    for (const char* disabled : {"gbPositionX", "gbPositionY", "LabelXZoom", "LabelYZoom"})
        EXPECT_FALSE(Child<QWidget>(disabled)->isEnabled()) << disabled;
    for (const char* disabled : {"mnuSave", "mnuSavewavAs", "mnuInvertChannel1L", "mnuInvertChannel2R"})
        EXPECT_FALSE(Child<QAction>(disabled)->isEnabled()) << disabled;
    EXPECT_FALSE(Child<QMenu>("mnuFormatInterpretator")->isEnabled());
    for (const char* enabled :
         {"sbFade", "sbReload", "sbFFTHiCut", "sbLPFFilter", "sbImageMode", "sbAntialiasing"})
        EXPECT_TRUE(Child<QWidget>(enabled)->isEnabled()) << enabled;
    EXPECT_TRUE(Child<QAction>("mnuOpen")->isEnabled());
    EXPECT_EQ(Child<QAction>("mnuOpen")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(Child<QAction>("mnuSave")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(Child<QAction>("mnuExit")->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Alt+X"), QKeySequence("Ctrl+Q")}));
    EXPECT_EQ(Child<QAction>("mnuFilterPanel")->shortcut(), QKeySequence("Ctrl+F"));
    EXPECT_EQ(Child<QAction>("mnuShiftPanel")->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(Caption(Child<QAction>("mnu2Channels")), "2 Chennels");
    EXPECT_EQ(Child<QToolButton>("sbASR")->toolTip(), "Adjust Samlpe Rate");
    EXPECT_EQ(Child<QComboBox>("ComboFFTSize")->count(), 20);
    EXPECT_EQ(Child<QComboBox>("ComboImageGain")->count(), 25);
    for (const char* edit : {"EditFrq", "EditLPF", "EditASR", "EditFFTHiCut", "EditFFTLoCut"})
        EXPECT_EQ(Child<QLineEdit>(edit)->maxLength(), 7) << edit;
    // The picture starts in "Spectrum" colours, and only that item is ticked.
    for (QAction* item : Form().PaletteActions)
        EXPECT_EQ(item->isChecked(), item == Form().PaletteActions[0]);
}

TEST_F(SettingsTest, ValuesRoundTripAsStrings) {
    TMainForm& first = NewForm();
    first.show();
    first.move(60, 70);
    first.resize(900, 500);
    Child<QComboBox>("ComboFFTSize")->setCurrentIndex(3);
    Child<QComboBox>("ComboXResolution")->setCurrentIndex(2);
    Child<QComboBox>("ComboFFTWindow")->setCurrentIndex(1);
    Child<QComboBox>("ComboImageGain")->setCurrentIndex(20);
    Child<QComboBox>("cbFilterQuality")->setCurrentIndex(8);
    Child<QLineEdit>("EditFrq")->setText("12a"); // stored as typed, not checked
    Child<QLineEdit>("EditLPF")->setText("3000");
    Child<QLineEdit>("EditASR")->setText("44100");
    Child<QLineEdit>("EditFFTHiCut")->setText("5000");
    Child<QLineEdit>("EditFFTLoCut")->setText("100");
    Child<QAction>("mnuFilterPanel")->trigger();
    ASSERT_TRUE(first.close());

    QSettings stored = StoredSettings();
    EXPECT_EQ(stored.value("FFTSize").toString(), "3");
    EXPECT_EQ(stored.value("FilterPanel").toString(), "0");
    EXPECT_EQ(stored.value("ShiftPanel").toString(), "1");
    EXPECT_EQ(stored.value("FrqVal").toString(), "12a");
    EXPECT_EQ(stored.value("wsMaximized").toString(), "0");
    EXPECT_EQ(stored.value("Width").toString(), "900");
    EXPECT_EQ(stored.value("Left").toString(), "60");

    TMainForm& second = NewForm();
    second.show();
    EXPECT_EQ(second.pos(), QPoint(60, 70));
    EXPECT_EQ(second.size(), QSize(900, 500));
    EXPECT_EQ(Child<QComboBox>("ComboFFTSize")->currentText(), "128");
    EXPECT_EQ(second.Session().Spectrogram().CurrentFFTSize, 128);
    EXPECT_EQ(second.Session().Spectrogram().WindowTable.size(), 128u);
    EXPECT_EQ(Child<QComboBox>("ComboXResolution")->currentText(), "X / 4");
    EXPECT_EQ(Child<QComboBox>("ComboFFTWindow")->currentText(), "Triangular");
    EXPECT_EQ(Child<QComboBox>("ComboImageGain")->currentText(), "20");
    EXPECT_EQ(Child<QComboBox>("cbFilterQuality")->currentText(), "9");
    EXPECT_EQ(Child<QLineEdit>("EditFrq")->text(), "12a");
    EXPECT_EQ(Child<QLineEdit>("EditLPF")->text(), "3000");
    EXPECT_EQ(Child<QLineEdit>("EditASR")->text(), "44100");
    EXPECT_EQ(Child<QLineEdit>("EditFFTHiCut")->text(), "5000");
    EXPECT_EQ(Child<QLineEdit>("EditFFTLoCut")->text(), "100");
    EXPECT_FALSE(Child<QAction>("mnuFilterPanel")->isChecked());
    EXPECT_FALSE(Child<QWidget>("FilterPanel")->isVisible());
    EXPECT_TRUE(Child<QWidget>("ShiftPanel")->isVisible());
}

TEST_F(SettingsTest, BadOrOutOfRangeValuesSelectTheDefaults) {
    {
        QSettings stored = StoredSettings();
        stored.setValue("FFTSize", "20"); // one past the last item
        stored.setValue("XResolution", "-1");
        stored.setValue("FFTWindow", "abc"); // not a number
        stored.setValue("ImageGain", "99");
        stored.setValue("FilterQuality", "9");
        stored.setValue("Width", "wide");
        stored.setValue("FilterPanel", "x");
    }
    TMainForm& form = NewForm();
    EXPECT_EQ(Child<QComboBox>("ComboFFTSize")->currentText(), "1024");
    EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, 1024);
    EXPECT_EQ(Child<QComboBox>("ComboXResolution")->currentText(), "X = Y");
    EXPECT_EQ(Child<QComboBox>("ComboFFTWindow")->currentText(), "Nuttall");
    EXPECT_EQ(Child<QComboBox>("ComboImageGain")->currentText(), "100");
    EXPECT_EQ(Child<QComboBox>("cbFilterQuality")->currentText(), "1");
    EXPECT_EQ(form.width(), 800);
    EXPECT_TRUE(Child<QAction>("mnuFilterPanel")->isChecked());
}

TEST_F(SettingsTest, AMaximisedWindowStoresOnlyItsState) {
    {
        QSettings stored = StoredSettings();
        stored.setValue("Left", "111");
        stored.setValue("Width", "1000");
    }
    TMainForm& first = NewForm();
    first.showMaximized();
    ASSERT_TRUE(first.isMaximized());
    first.close();
    QSettings stored = StoredSettings();
    EXPECT_EQ(stored.value("wsMaximized").toString(), "1");
    EXPECT_EQ(stored.value("Left").toString(), "111");
    EXPECT_EQ(stored.value("Width").toString(), "1000");
    EXPECT_FALSE(stored.contains("Top"));

    TMainForm& second = NewForm();
    EXPECT_TRUE(second.windowState() & Qt::WindowMaximized);
}

TEST(BoundsToStore, KeepsTheStoredBoundsOfAWindowMostlyOffTheScreen) {
    const QSize screen(1280, 800);
    // Width 800: half is 400. Left must lie in (-400, 880), top in (0, 800 - 200).
    EXPECT_TRUE(BoundsToStore(QRect(-399, 10, 800, 400), screen).Left);
    EXPECT_FALSE(BoundsToStore(QRect(-400, 10, 800, 400), screen).Left);
    EXPECT_TRUE(BoundsToStore(QRect(879, 10, 800, 400), screen).Left);
    EXPECT_FALSE(BoundsToStore(QRect(880, 10, 800, 400), screen).Left);
    EXPECT_FALSE(BoundsToStore(QRect(10, 0, 800, 400), screen).Top);
    EXPECT_TRUE(BoundsToStore(QRect(10, 1, 800, 400), screen).Top);
    EXPECT_TRUE(BoundsToStore(QRect(10, 599, 800, 400), screen).Top);
    EXPECT_FALSE(BoundsToStore(QRect(10, 600, 800, 400), screen).Top);
    EXPECT_TRUE(BoundsToStore(QRect(10, 10, 1279, 799), screen).Width);
    EXPECT_FALSE(BoundsToStore(QRect(10, 10, 1280, 800), screen).Width);
    EXPECT_FALSE(BoundsToStore(QRect(10, 10, 1280, 800), screen).Height);
    EXPECT_TRUE(BoundsToStore(QRect(10, 10, 1280, 799), screen).Height);
}

TEST_F(SettingsTest, AWindowOffTheScreenKeepsTheStoredPosition) {
    {
        QSettings stored = StoredSettings();
        stored.setValue("Left", "50");
        stored.setValue("Top", "60");
    }
    TMainForm& form = NewForm();
    form.show();
    const QSize screen = QGuiApplication::primaryScreen()->size();
    form.move(screen.width() - form.width() / 2, 0); // half beyond the right edge, top at the edge
    form.close();
    QSettings stored = StoredSettings();
    EXPECT_EQ(stored.value("Left").toString(), "50");
    EXPECT_EQ(stored.value("Top").toString(), "60");
    EXPECT_EQ(stored.value("wsMaximized").toString(), "0");
}

TEST(SettingsKey, ReadsIntegersAndBooleansFromText) {
    QSettings stored = StoredSettings();
    stored.clear();
    stored.setValue("A", "17");
    stored.setValue("B", " 17x");
    stored.setValue("C", "0");
    stored.setValue("D", "2");
    stored.sync();
    SettingsKey key;
    EXPECT_EQ(key.ReadInteger("A", 5), 17);
    EXPECT_EQ(key.ReadInteger("B", 5), 5);
    EXPECT_EQ(key.ReadInteger("Missing", 5), 5);
    EXPECT_FALSE(key.ReadBool("C", true));
    EXPECT_TRUE(key.ReadBool("D", false));
    EXPECT_TRUE(key.ReadBool("Missing", true));
    EXPECT_EQ(key.ReadString("Missing", "dflt"), "dflt");
    key.WriteBool("E", true);
    key.WriteInteger("F", -3);
    key.Flush();
    EXPECT_EQ(StoredSettings().value("E").toString(), "1");
    EXPECT_EQ(StoredSettings().value("F").toString(), "-3");
    stored.clear();
}

} // namespace
