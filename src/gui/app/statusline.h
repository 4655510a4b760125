#pragma once

// The main window's status bar: panel 0 carries the LED, panel 1 the message. Every exchange
// with a device ends with one of its indications.

#include <QColor>
#include <QString>

class QLabel;
class QStatusBar;
class TALed;

namespace LedColour {
inline const QColor Yellow(255, 255, 0);
inline const QColor Green(0, 255, 0);
inline const QColor Red(255, 0, 0);
} // namespace LedColour

class StatusLine {
public:
    // Moves the LED into panel 0 and adds the message panel.
    StatusLine(QStatusBar &bar, TALed &led);

    QString text() const;
    // The message's accessible name is its text, so a screen reader reads it out.
    void setText(const QString &text);
    void setLed(const QColor &colour, bool blink, bool value);

    // LED green and on, "Befehl akzeptiert"; the blink setting stays.
    void showCommandAccepted();
    // LED red, blinking and on, "Keine Antwort vom Gerät: ...".
    void showNoAnswer();
    // A long run starts: the LED lit in its colour, no message.
    void clear();
    // A programming starts: the LED off and steady, no message.
    void switchOff();

    // The accessible texts, again after a language switch.
    void retranslate();

private:
    TALed &m_led;
    QLabel *m_message;
};
