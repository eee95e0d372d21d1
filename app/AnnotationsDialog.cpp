#include "app/AnnotationsDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QStringList kColumns = {"Start (s)",       "Duration (s)", "Lower Edge (Hz)",
                              "Upper Edge (Hz)", "Label",        "Comment"};

QString Seconds(double seconds) {
    return QString::number(seconds, 'f', 4);
}

QString Hertz(const std::optional<double>& hertz) {
    return hertz ? QString::number(*hertz, 'f', 0) : QString();
}

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

AnnotationsDialog::AnnotationsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("AnnotationsDialog");
    setWindowTitle("Annotations");
    setModal(false);
    table_ = new QTableWidget(0, int(kColumns.size()), this);
    table_->setObjectName("AnnotationTable");
    table_->setHorizontalHeaderLabels(kColumns);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setVisible(false);
    edit_ = new QPushButton("Edit...", this);
    edit_->setObjectName("AnnotationEdit");
    delete_ = new QPushButton("Delete", this);
    delete_->setObjectName("AnnotationDelete");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(720, 300);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &AnnotationsDialog::FollowSelection);
    connect(edit_, &QPushButton::clicked, this, [this] { emit EditClicked(SelectedRow()); });
    connect(delete_, &QPushButton::clicked, this, [this] { emit DeleteClicked(SelectedRow()); });
    FollowSelection();
}

void AnnotationsDialog::ShowAnnotations(const std::vector<Annotation>& annotations, int32_t sampleRate,
                                        int64_t frames) {
    const QSignalBlocker quiet(table_);
    const int selected = SelectedRow();
    table_->setRowCount(int(annotations.size()));
    const double rate = std::max(sampleRate, 1);
    for (int row = 0; row < int(annotations.size()); ++row) {
        const Annotation& a = annotations[size_t(row)];
        const int64_t count = a.SampleCount.value_or(std::max<int64_t>(frames - a.SampleStart, 0));
        table_->setItem(row, 0, Cell(Seconds(double(a.SampleStart) / rate)));
        table_->setItem(row, 1, Cell(Seconds(double(count) / rate)));
        table_->setItem(row, 2, Cell(Hertz(a.LowerEdgeHz)));
        table_->setItem(row, 3, Cell(Hertz(a.UpperEdgeHz)));
        table_->setItem(row, 4, Cell(QString::fromStdString(a.Label)));
        table_->setItem(row, 5, Cell(QString::fromStdString(a.Comment)));
    }
    if (selected >= 0 && selected < table_->rowCount())
        table_->selectRow(selected);
    else
        table_->clearSelection();
    edit_->setEnabled(SelectedRow() >= 0);
    delete_->setEnabled(SelectedRow() >= 0);
}

int AnnotationsDialog::SelectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void AnnotationsDialog::FollowSelection() {
    const int row = SelectedRow();
    edit_->setEnabled(row >= 0);
    delete_->setEnabled(row >= 0);
    if (row >= 0) emit RowChosen(row);
}
