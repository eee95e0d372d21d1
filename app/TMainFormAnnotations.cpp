// The recording's annotations in the window: amber rectangles over the picture (Options >
// "Annotations"), their list (Options > "Annotations..."), Edit > "Add Annotation..." from the marker,
// and the list's "Edit..." and "Delete". Every change goes through the session as an edit of its
// own, so that Undo and Redo take it back and forth with the edits of the samples.
#include "app/AnnotationsDialog.h"
#include "app/TMainForm.h"
#include "session/RecordingWriter.h"
#include "view/AnnotationPlacement.h"
#include "view/TLayerCollection.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TAnnotationLayer.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

const QString kMarkABandFirst = QStringLiteral(" Add Annotation: mark a time range and a band first.");

std::string Text(const QString& text) {
    return text.toStdString();
}

int64_t FramesOf(const SignalStore& store) {
    return store.TwoChannels() ? store.ValueCount / 2 : store.ValueCount;
}

} // namespace

void TMainForm::AddAnnotationMenuItems(QMenu* editMenu, QMenu* optionsMenu) {
    editMenu->addSeparator();
    mnuAddAnnotation = editMenu->addAction("Add &Annotation...");
    mnuAddAnnotation->setObjectName("mnuAddAnnotation");
    mnuAddAnnotation->setEnabled(false);
    mnuShowAnnotations = optionsMenu->addAction("A&nnotations");
    mnuShowAnnotations->setObjectName("mnuShowAnnotations");
    mnuShowAnnotations->setCheckable(true);
    mnuShowAnnotations->setChecked(true);
    mnuAnnotations = optionsMenu->addAction("Ann&otations...");
    mnuAnnotations->setObjectName("mnuAnnotations");
    // Whether a marker exists is looked at again whenever the menu opens.
    connect(editMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateAnnotationItems);
}

void TMainForm::ConnectAnnotationHandlers() {
    connect(mnuAddAnnotation, &QAction::triggered, this, &TMainForm::mnuAddAnnotationClick);
    connect(mnuAnnotations, &QAction::triggered, this, &TMainForm::mnuAnnotationsClick);
    connect(mnuShowAnnotations, &QAction::triggered, this, &TMainForm::mnuShowAnnotationsClick);
    connect(SrcImage, &TImgView32::MouseUp, this, &TMainForm::UpdateAnnotationItems);
}

void TMainForm::ShowAnnotations() {
    for (TAnnotationLayer* layer : annotationLayers_) SrcImage->Layers().Delete(layer);
    annotationLayers_.clear();
    const int64_t frames = FramesOf(session_.Store());
    if (const std::optional<PictureAxes> axes = ShownAxes()) {
        QFont font = SrcImage->font();
        font.setPixelSize(11);
        for (const Annotation& annotation : session_.Annotations()) {
            for (const PictureRect& r : AnnotationPictureRects(*axes, annotation, frames)) {
                auto* layer = SrcImage->Layers().Add<TAnnotationLayer>();
                layer->SetLocation({float(r.Left), float(r.Top), float(r.Right), float(r.Bottom)});
                layer->SetLabel(QString::fromStdString(annotation.Label));
                layer->SetFont(font);
                layer->SetPictureSize(axes->Width, axes->Height);
                layer->SetVisible(mnuShowAnnotations->isChecked());
                annotationLayers_.push_back(layer);
            }
        }
    }
    if (annotationList_)
        annotationList_->ShowAnnotations(session_.Annotations(), session_.Store().SampleRate, frames);
    UpdateAnnotationItems();
}

void TMainForm::UpdateAnnotationItems() {
    mnuAddAnnotation->setEnabled(!busy_ && session_.Loaded() && readout_->MarkedBand().has_value());
}

void TMainForm::mnuShowAnnotationsClick() {
    for (TAnnotationLayer* layer : annotationLayers_) layer->SetVisible(mnuShowAnnotations->isChecked());
}

void TMainForm::FollowAnnotationEdit() {
    UpdateHistoryItems(!busy_);
    ShowCaption();
    ShowAnnotations();
}

std::optional<AnnotationTexts> TMainForm::AskTexts(const QString& title, const AnnotationTexts& current) {
    if (AskAnnotationTexts) return AskAnnotationTexts(current);
    AnnotationTextDialog dialog(title, current, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Texts();
}

void TMainForm::mnuAddAnnotationClick() {
    if (busy_ || !session_.Loaded()) return;
    const std::optional<ExtractRequest> band = readout_->MarkedBand();
    if (!band) {
        SetStatus(0, kMarkABandFirst);
        return;
    }
    const std::optional<AnnotationTexts> texts = AskTexts("Add Annotation", {});
    if (!texts || busy_) return;
    session_.AddAnnotation(AnnotationOfBand(*band, shown_.SampleRate, shown_.CentreFrequency,
                                            Text(texts->Label), Text(texts->Comment), SigMFRecorder()));
    FollowAnnotationEdit();
}

void TMainForm::mnuAnnotationsClick() {
    if (!annotationList_) {
        annotationList_ = new AnnotationsDialog(this);
        connect(annotationList_, &AnnotationsDialog::RowChosen, this, &TMainForm::ChooseAnnotation);
        connect(annotationList_, &AnnotationsDialog::EditClicked, this, &TMainForm::EditAnnotation);
        connect(annotationList_, &AnnotationsDialog::DeleteClicked, this, &TMainForm::DeleteAnnotation);
        ShowAnnotations();
    }
    annotationList_->show();
    annotationList_->raise();
}

void TMainForm::ChooseAnnotation(int index) {
    const std::optional<PictureAxes> axes = ShownAxes();
    const std::vector<Annotation>& annotations = session_.Annotations();
    if (busy_ || !axes || index < 0 || index >= int(annotations.size())) return;
    const PictureRect r =
        MarkerRectOfAnnotation(*axes, annotations[size_t(index)], FramesOf(session_.Store()));
    if (!rubberBand_) {
        rubberBand_ = SrcImage->Layers().Add<TRubberbandLayer>();
        rubberBand_->SetScaled(true);
    }
    rubberBand_->SetLocation({float(r.Left), float(r.Top), float(r.Right), float(r.Bottom)});
    // In zoom mode the marker stays hidden, as the one drawn by hand does, until the mode ends.
    rubberBand_->SetVisible(!ZoomMode());
    if (ZoomMode()) ScrollToPicturePoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    readout_->ShowMarker();
    UpdateAnnotationItems();
}

// The picture point comes to the middle of the view.
void TMainForm::ScrollToPicturePoint(double x, double y) {
    const TViewPlacement placement = SrcImage->Placement();
    if (placement.Empty()) return;
    const QSize view = SrcImage->viewport()->size();
    SrcImage->SetOffset(view.width() / 2.0 - x * placement.FactorX(),
                        view.height() / 2.0 - y * placement.FactorY());
}

void TMainForm::EditAnnotation(int index) {
    const std::vector<Annotation>& annotations = session_.Annotations();
    if (busy_ || index < 0 || index >= int(annotations.size())) return;
    Annotation changed = annotations[size_t(index)];
    const std::optional<AnnotationTexts> texts = AskTexts(
        "Edit Annotation", {QString::fromStdString(changed.Label), QString::fromStdString(changed.Comment)});
    if (!texts || busy_) return;
    changed.Label = Text(texts->Label);
    changed.Comment = Text(texts->Comment);
    session_.ChangeAnnotation(size_t(index), std::move(changed));
    FollowAnnotationEdit();
}

void TMainForm::DeleteAnnotation(int index) {
    if (busy_ || index < 0 || !session_.DeleteAnnotation(size_t(index))) return;
    FollowAnnotationEdit();
}

void TMainForm::StepAnnotationHistory(bool undo) {
    undo ? session_.Undo() : session_.Redo();
    FollowAnnotationEdit();
}
