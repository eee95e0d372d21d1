#include "app/AnnotationTextDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

AnnotationTextDialog::AnnotationTextDialog(const QString& title, const AnnotationTexts& current,
                                           QWidget* parent)
    : QDialog(parent) {
    setObjectName("AnnotationTextDialog");
    setWindowTitle(title);
    label_ = new QLineEdit(current.Label, this);
    label_->setObjectName("EditAnnotationLabel");
    comment_ = new QLineEdit(current.Comment, this);
    comment_->setObjectName("EditAnnotationComment");
    comment_->setMinimumWidth(320);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow("Label:", label_);
    form->addRow("Comment:", comment_);
    form->addRow(buttons);
}

AnnotationTexts AnnotationTextDialog::Texts() const {
    return {label_->text(), comment_->text()};
}
