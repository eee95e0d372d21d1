// The small dialog that asks an annotation's label and comment ("Add Annotation...", "Edit..."): two
// lines of text, OK and Cancel.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

struct AnnotationTexts {
    QString Label;
    QString Comment;
};

class AnnotationTextDialog : public QDialog {
    Q_OBJECT
public:
    // The lines start with `current`.
    AnnotationTextDialog(const QString& title, const AnnotationTexts& current, QWidget* parent = nullptr);

    // What the lines hold now.
    AnnotationTexts Texts() const;

private:
    QLineEdit* label_ = nullptr;   // objectName EditAnnotationLabel
    QLineEdit* comment_ = nullptr; // objectName EditAnnotationComment
};
