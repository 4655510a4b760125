#include "app/windowkeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

class DoubleClick : public QObject {
public:
    DoubleClick(QWidget *widget, std::function<void()> action)
        : QObject(widget)
        , m_action(std::move(action)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::MouseButtonDblClick)
            return QObject::eventFilter(watched, event);
        m_action();
        return true;
    }

private:
    std::function<void()> m_action;
};

} // namespace

WindowKeys::WindowKeys(QWidget *window, QAbstractButton *endButton)
    : QObject(window)
    , m_window(window)
    , m_endButton(endButton) {
    qApp->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    const auto *key = static_cast<QKeyEvent *>(event);
    // Enter of the number pad comes with the keypad modifier; it is Enter all the same.
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (widget->window() != m_window || modifiers != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    if (key->key() == Qt::Key_Escape) {
        m_endButton->click();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // The end button is the default button: Enter presses it unless another button has
        // the focus, which Enter then presses.
        auto *button = qobject_cast<QAbstractButton *>(m_window->focusWidget());
        if (button && button->window() == m_window && button != m_endButton)
            button->click();
        else
            m_endButton->click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void OnDoubleClick(QWidget *widget, std::function<void()> action) {
    new DoubleClick(widget, std::move(action));
}
