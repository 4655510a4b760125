#include "pages/containerpage.h"

#include <QEvent>
#include <QStyle>
#include <QStyleOptionFrame>

ContainerPage::ContainerPage(QWidget *parent)
    : FormDevicePage<Ui::ContainerPage>(parent) {
    fitMethodField();
}

void ContainerPage::changeEvent(QEvent *event) {
    FormDevicePage<Ui::ContainerPage>::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitMethodField();
}

void ContainerPage::fitMethodField() {
    // The method is a long path: the field shows it whole, from its start.
    QLineEdit *method = ui.dxEdit3;
    QStyleOptionFrame option;
    option.initFrom(method);
    const QSize text(method->fontMetrics().horizontalAdvance(method->text()) + 8,
                     method->sizeHint().height());
    method->setMinimumWidth(
        method->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, method).width());
    method->setCursorPosition(0);
}
