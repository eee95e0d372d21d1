// Options > "Annotations...": the recording's annotations in a table (start and duration in seconds,
// lower and upper edge in Hz, label, comment), non-modal, with "Edit..." and "Delete" for the row
// selected. Selecting a row asks the window to bring that annotation into view as the marker.
#pragma once

#include "signal/Annotation.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QPushButton;
class QTableWidget;

class AnnotationsDialog : public QDialog {
    Q_OBJECT
public:
    explicit AnnotationsDialog(QWidget* parent = nullptr);

    // Shows `annotations` of a recording of `frames` samples at `sampleRate`, one row each in their
    // order; the row selected stays selected while there is one.
    void ShowAnnotations(const std::vector<Annotation>& annotations, int32_t sampleRate, int64_t frames);
    // The row selected; -1: none.
    int SelectedRow() const;
    QTableWidget* Table() const { return table_; }

signals:
    void RowChosen(int row);
    void EditClicked(int row);
    void DeleteClicked(int row);

private:
    void FollowSelection();

    QTableWidget* table_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
};
