#pragma once

// Key and mouse handling the main window installs on its controls.

#include <QObject>
#include <functional>

class QAbstractButton;
class QWidget;

// Escape presses the window's end button; Enter presses the button of the window that has the
// focus, or else the end button (it is the default button). Works from whichever control
// of the window has the focus, so it is installed on the application.
class WindowKeys : public QObject {
public:
    WindowKeys(QWidget *window, QAbstractButton *endButton);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QAbstractButton *m_endButton;
};

// Runs action on a double-click on widget (the hidden functions of the window).
void OnDoubleClick(QWidget *widget, std::function<void()> action);
