#include "app/statusline.h"

#include "app/aled.h"
#include "app/messagetext.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStatusBar>

StatusLine::StatusLine(QStatusBar &bar, TALed &led)
    : m_led(led) {
    QFont bold = bar.font();
    bold.setBold(true);
    bar.setFont(bold);
    bar.setSizeGripEnabled(false);

    auto *ledPanel = new QWidget(&bar);
    ledPanel->setObjectName(QStringLiteral("StatusBar1Panel0"));
    ledPanel->setFixedSize(24, 22);
    led.setParent(ledPanel);
    led.setGeometry(1, 3, 16, 16);
    led.setInterval(500);
    led.setFalseColor(QColor(192, 192, 192));
    led.show();
    bar.addWidget(ledPanel);

    m_message = new QLabel(&bar);
    m_message->setObjectName(QStringLiteral("StatusBar1Panel1"));
    m_message->setMinimumWidth(50);
    m_message->setFont(bold);
    bar.addWidget(m_message, 1);
}

QString StatusLine::text() const {
    return m_message->text();
}

void StatusLine::setText(const QString &text) {
    m_message->setText(text);
    // A text longer than the panel (a backup's path and its missing parts) is read in full
    // by hovering.
    m_message->setToolTip(text);
    // The texts belong to the window, as they did when it laid out its status bar itself.
    m_message->setAccessibleName(
        text.isEmpty() ? QCoreApplication::translate("TQevProgrammerForm", "Meldung") : text);
}

void StatusLine::setLed(const QColor &colour, bool blink, bool value) {
    m_led.setTrueColor(colour);
    m_led.setBlink(blink);
    m_led.setValue(value);
}

void StatusLine::showCommandAccepted() {
    // Green and steady, also after a failure left the lamp blinking.
    setLed(LedColour::Green, false, true);
    setText(MessageText(qev::IDS_117));
}

void StatusLine::showNoAnswer() {
    setLed(LedColour::Red, true, true);
    setText(MessageText(qev::IDS_110));
}

void StatusLine::clear() {
    m_led.setValue(true);
    setText(QString());
}

void StatusLine::switchOff() {
    m_led.setValue(false);
    m_led.setBlink(false);
    setText(QString());
}

void StatusLine::retranslate() {
    m_led.setAccessibleName(QCoreApplication::translate("TQevProgrammerForm", "Zustand"));
    m_message->setAccessibleDescription(
        QCoreApplication::translate("TQevProgrammerForm", "Meldung"));
    setText(text());
}
