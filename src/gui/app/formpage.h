#pragma once

#include <QEvent>
#include <QWidget>

// A page of the main window built from its Designer form. The main window works on the
// page's components directly, through `ui`.
template <class Form>
class FormPage : public QWidget {
public:
    explicit FormPage(QWidget *parent = nullptr)
        : QWidget(parent) {
        ui.setupUi(this);
    }

    Form ui;

protected:
    void changeEvent(QEvent *event) override {
        if (event->type() == QEvent::LanguageChange)
            ui.retranslateUi(this);
        QWidget::changeEvent(event);
    }
};
