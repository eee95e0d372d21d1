// The levels the window shows: Options > "Level Legend" (the legend beside the ruler, for the
// window, N, gain and palette of the picture shown) and "Auto Gain"; and the strength order of the
// palette in use, with which the view keeps the strongest pixel where it shrinks the picture.
#include "app/ReadoutPresenter.h"
#include "app/TLevelLegendBox.h"
#include "app/TMainForm.h"
#include "spectral/AutoGain.h"
#include "spectral/LevelLegend.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

#include <array>
#include <memory>

namespace {

// One ranking per palette, built once.
std::shared_ptr<const TLevelRanking> RankingFor(PaletteItem palette) {
    static std::array<std::shared_ptr<const TLevelRanking>, kPaletteItemTexts.size()> rankings;
    auto& ranking = rankings[size_t(palette)];
    if (!ranking) ranking = std::make_shared<const TLevelRanking>(RankingOfPalette(palette));
    return ranking;
}

} // namespace

void TMainForm::BuildLevelControls() {
    QMenu* options = menuBar()->findChild<QMenu*>("mnuOptions");
    mnuLevelLegend = options->addAction("Le&vel Legend");
    mnuLevelLegend->setObjectName("mnuLevelLegend");
    mnuLevelLegend->setCheckable(true);
    mnuLevelLegend->setChecked(true);
    mnuAutoGain = options->addAction("A&uto Gain");
    mnuAutoGain->setObjectName("mnuAutoGain");

    LevelLegendBox = new TLevelLegendBox(Panel_L);
    LevelLegendBox->setObjectName("LevelLegendBox");
    Panel_L->layout()->addWidget(LevelLegendBox);
    connect(mnuLevelLegend, &QAction::triggered, this, &TMainForm::mnuLevelLegendClick);
    connect(mnuAutoGain, &QAction::triggered, this, &TMainForm::mnuAutoGainClick);
}

void TMainForm::mnuLevelLegendClick() {
    LevelLegendBox->setVisible(mnuLevelLegend->isChecked());
}

// The palette the view shows the picture in ("Reds" when none is ticked, as ApplyPalette shows it).
PaletteItem TMainForm::ShownPalette() const {
    return checkedPalette_.value_or(PaletteItem::Reds);
}

void TMainForm::FollowLevels() {
    SrcImage->SetLevelRanking(RankingFor(ShownPalette()));
    const std::optional<PictureAxes> axes = ShownAxes();
    if (!axes) {
        LevelLegendBox->SetLegend({});
        return;
    }
    LevelLegendBox->SetLegend(LegendBarOf(MakeLevelLegend(*axes, shownGain_, ShownPalette())));
}

void TMainForm::mnuAutoGainClick() {
    if (busy_) return;
    const std::optional<PictureAxes> axes = ShownAxes();
    if (!axes) return;
    const int item = AutoGainItem(StrongestPictureLevel(shownSpectrogram_, *axes), shownGain_);
    if (item == ComboImageGain->currentIndex()) return;
    ComboImageGain->setCurrentIndex(item);
    ComboImageGainChange();
}
