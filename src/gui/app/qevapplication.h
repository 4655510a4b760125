#pragma once

#include <QApplication>

// The program's application object: errors that escape an event handler end up in the
// window's general error display instead of ending the program.
class TQevApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override;
};
