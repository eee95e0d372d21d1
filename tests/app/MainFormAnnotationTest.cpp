// Annotations in the window: one made from the marker rectangle and taken back by Undo, drawn where the
// marker lies; the list opened from the Options menu, whose rows bring an annotation into view as the
// marker (for Extract and Listen), edit it and delete it; the meta file beside a WAV file read and
// written.
#include "AppTestSupport.h"

#include "ProgramInfo.h"
#include "app/AnnotationsDialog.h"
#include "view/AnnotationPlacement.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TAnnotationLayer.h"
#include "view/qt/TImgView32.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <fstream>

namespace {

constexpr int64_t kFrames = 48000;

class AnnotationWindowTest : public WindowTest {
protected:
    // A shown window with a one-second two-channel recording at 48000 Hz.
    TMainForm& Shown() {
        TMainForm& form = NewForm();
        form.resize(1000, 800);
        form.show();
        std::vector<int16_t> values = Tone(2 * kFrames, 6000, 96000);
        form.LoadWavFile(QString::fromStdString(WriteWav("r.wav", values, 48000, 2)));
        EXPECT_TRUE(form.ShownAxes().has_value());
        return form;
    }
    static void DrawMarker(TMainForm& form, QPoint from, QPoint to) {
        QTest::mousePress(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, from);
        QTest::mouseMove(form.SrcImage->viewport(), to);
        QTest::mouseRelease(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, to);
    }
    static void ExpectSameRect(const TFloatRect& a, const TFloatRect& b, float tolerance) {
        EXPECT_NEAR(a.Left, b.Left, tolerance);
        EXPECT_NEAR(a.Top, b.Top, tolerance);
        EXPECT_NEAR(a.Right, b.Right, tolerance);
        EXPECT_NEAR(a.Bottom, b.Bottom, tolerance);
    }
};

TEST_F(AnnotationWindowTest, AddAnnotationTurnsTheMarkerIntoAnAnnotationThatUndoTakesBack) {
    TMainForm& form = Shown();
    EXPECT_FALSE(form.mnuAddAnnotation->isEnabled()); // no marker yet
    const TViewPlacement placement = form.SrcImage->Placement();
    DrawMarker(form, QPoint(int(placement.Left) + 200, 40), QPoint(int(placement.Left) + 500, 140));
    ASSERT_TRUE(form.mnuAddAnnotation->isEnabled());
    std::vector<AnnotationTexts> asked;
    form.AskAnnotationTexts = [&](const AnnotationTexts& current) {
        asked.push_back(current);
        return std::optional<AnnotationTexts>({"burst", "seen twice"});
    };
    form.mnuAddAnnotation->trigger();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].Label.isEmpty());
    ASSERT_EQ(form.Session().Annotations().size(), 1u);
    const Annotation made = form.Session().Annotations()[0];
    EXPECT_EQ(made.Label, "burst");
    EXPECT_EQ(made.Comment, "seen twice");
    EXPECT_EQ(made.Generator, "Orvane+ " + std::string(kOrvaneVersion));
    EXPECT_TRUE(form.windowTitle().contains("*r.wav"));
    EXPECT_EQ(Caption(form.mnuUndo), "Undo Add Annotation");

    // Drawn in both bands; in the marker's band over the marker, to a column and a row.
    ASSERT_EQ(form.AnnotationLayers().size(), 2u);
    const TFloatRect marker = form.RubberBand()->AdjustedLocation();
    const TFloatRect drawn = form.AnnotationLayers()[0]->AdjustedLocation();
    const float pixel = float(std::max(placement.FactorX(), placement.FactorY())) + 1;
    ExpectSameRect(drawn, marker, pixel);
    EXPECT_EQ(form.AnnotationLayers()[0]->Label(), "burst");
    EXPECT_TRUE(form.AnnotationLayers()[0]->Visible());
    form.mnuShowAnnotations->trigger();
    EXPECT_FALSE(form.AnnotationLayers()[0]->Visible());
    form.mnuShowAnnotations->trigger();

    // Undo takes it back without touching the samples; Redo brings it again.
    const uint64_t revision = form.Session().Store().Revision;
    form.mnuUndo->trigger();
    EXPECT_TRUE(form.Session().Annotations().empty());
    EXPECT_TRUE(form.AnnotationLayers().empty());
    EXPECT_FALSE(form.windowTitle().contains("*"));
    EXPECT_EQ(form.Session().Store().Revision, revision);
    form.mnuRedo->trigger();
    ASSERT_EQ(form.Session().Annotations().size(), 1u);
    EXPECT_EQ(form.AnnotationLayers().size(), 2u);

    // Saved to the WAV file read: its meta file beside it holds the annotation.
    ASSERT_TRUE(form.SaveSignal(QString::fromStdString(PathIn("r.wav"))));
    std::ifstream meta(PathIn("r.sigmf-meta"));
    const std::string text((std::istreambuf_iterator<char>(meta)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"core:label\": \"burst\""), std::string::npos) << text;
    EXPECT_FALSE(form.windowTitle().contains("*"));
}

TEST_F(AnnotationWindowTest, TheListBringsAnAnnotationIntoViewAsTheMarker) {
    // The meta file beside the WAV file names it and holds two annotations.
    std::ofstream(PathIn("r.sigmf-meta")) << R"({"global": {"core:datatype": "ci16_le",
        "core:version": "1.0.0", "core:sample_rate": 48000, "core:dataset": "r.wav"},
        "captures": [{"core:sample_start": 0, "core:header_bytes": 48}],
        "annotations": [
          {"core:sample_start": 4800, "core:sample_count": 9600, "core:label": "first",
           "core:freq_lower_edge": 2000, "core:freq_upper_edge": 9000},
          {"core:sample_start": 24000, "core:sample_count": 12000, "core:label": "second",
           "core:comment": "wide", "core:freq_lower_edge": 4000, "core:freq_upper_edge": 8000}]})";
    TMainForm& form = Shown();
    ASSERT_EQ(form.Session().Annotations().size(), 2u);
    EXPECT_EQ(form.AnnotationLayers().size(), 4u);

    form.mnuAnnotations->trigger();
    AnnotationsDialog* list = form.AnnotationList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->objectName(), "AnnotationsDialog");
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->isModal());
    QTableWidget* table = list->Table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 0)->text(), "0.5000");
    EXPECT_EQ(table->item(1, 1)->text(), "0.2500");
    EXPECT_EQ(table->item(1, 2)->text(), "4000");
    EXPECT_EQ(table->item(1, 3)->text(), "8000");
    EXPECT_EQ(table->item(1, 4)->text(), "second");
    EXPECT_EQ(table->item(1, 5)->text(), "wide");

    // A click on the second row: the marker marks its time and band, and Extract writes that band.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualItemRect(table->item(1, 4)).center());
    ASSERT_NE(form.RubberBand(), nullptr);
    EXPECT_TRUE(form.RubberBand()->Visible());
    const PictureRect expected =
        MarkerRectOfAnnotation(*form.ShownAxes(), form.Session().Annotations()[1], kFrames);
    ExpectSameRect(form.RubberBand()->Location(),
                   {float(expected.Left), float(expected.Top), float(expected.Right), float(expected.Bottom)},
                   1e-3f);
    QString extracted;
    form.AskExtractFileName = [&](const QString&) {
        extracted = QString::fromStdString(PathIn("band.wav"));
        return extracted;
    };
    form.AskOpenExtracted = [](const QString&) { return false; };
    form.mnuExtract->trigger();
    EXPECT_FALSE(extracted.isEmpty());
    EXPECT_TRUE(form.StatusText(0).startsWith(" Band saved to")) << form.StatusText(0).toStdString();

    // "Edit..." changes the texts of the row selected; "Delete" removes it; Undo brings it back.
    form.AskAnnotationTexts = [](const AnnotationTexts& current) {
        EXPECT_EQ(current.Label, "second");
        return std::optional<AnnotationTexts>({"renamed", "narrow"});
    };
    list->findChild<QPushButton*>("AnnotationEdit")->click();
    EXPECT_EQ(form.Session().Annotations()[1].Label, "renamed");
    EXPECT_EQ(table->item(1, 4)->text(), "renamed");
    EXPECT_EQ(table->item(1, 5)->text(), "narrow");
    list->findChild<QPushButton*>("AnnotationDelete")->click();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(form.Session().Annotations()[0].Label, "first");
    form.mnuUndo->trigger();
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(form.Session().Annotations()[1].Label, "renamed");

    // In zoom mode a row's annotation is scrolled to the middle of the view.
    form.sbImageMode->click();
    form.SrcImage->SetScaleX(300.0f); // the picture many times as wide as the view
    ASSERT_GT(form.SrcImage->Placement().Width, 20 * form.SrcImage->viewport()->width());
    table->selectRow(1);
    const TViewPlacement placement = form.SrcImage->Placement();
    const PictureRect second =
        MarkerRectOfAnnotation(*form.ShownAxes(), form.Session().Annotations()[1], kFrames);
    EXPECT_NEAR(placement.Left + (second.Left + second.Right) / 2 * placement.FactorX(),
                form.SrcImage->viewport()->width() / 2.0, 1.0);
}

// The dialog of label and comment: its lines by name, started with the texts given.
TEST_F(AnnotationWindowTest, TheTextDialogStartsWithTheTextsAndReturnsTheLines) {
    AnnotationTextDialog dialog("Edit Annotation", {"old", "words"});
    auto* label = dialog.findChild<QLineEdit*>("EditAnnotationLabel");
    auto* comment = dialog.findChild<QLineEdit*>("EditAnnotationComment");
    ASSERT_NE(label, nullptr);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(label->text(), "old");
    EXPECT_EQ(comment->text(), "words");
    label->setText("new");
    EXPECT_EQ(dialog.Texts().Label, "new");
    EXPECT_EQ(dialog.Texts().Comment, "words");
}

} // namespace
