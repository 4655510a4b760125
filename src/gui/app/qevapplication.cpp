#include "qevapplication.h"

#include "errordisplay.h"

bool TQevApplication::notify(QObject *receiver, QEvent *event) {
    bool handled = false;
    RunGuarded(activeWindow(), [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
