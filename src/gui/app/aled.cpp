#include "aled.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

namespace {

QPixmap lampPicture(const QSize &size, const QColor &colour) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QRectF outer = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.setBrush(colour.darker(160));
    painter.drawRect(outer);
    // A lens with a highlight at the top left, so that the lamp reads as raised.
    const QRectF lens = outer.adjusted(2, 2, -2, -2);
    QLinearGradient shade(lens.topLeft(), lens.bottomRight());
    shade.setColorAt(0, colour.lighter(170));
    shade.setColorAt(0.45, colour);
    shade.setColorAt(1, colour.darker(130));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRect(lens);
    return picture;
}

} // namespace

TALed::TALed(QWidget *parent)
    : QWidget(parent) {
    m_blinkTimer.setInterval(500);
    connect(&m_blinkTimer, &QTimer::timeout, this, &TALed::toggle);
    drawPictures();
}

void TALed::setValue(bool on) {
    if (on == m_value)
        return;
    m_value = on;
    applyState();
}

void TALed::setBlink(bool on) {
    if (on == m_blink)
        return;
    m_blink = on;
    applyState();
}

void TALed::setTrueColor(const QColor &colour) {
    if (colour == m_trueColor)
        return;
    m_trueColor = colour;
    recolour();
}

void TALed::setFalseColor(const QColor &colour) {
    if (colour == m_falseColor)
        return;
    m_falseColor = colour;
    recolour();
}

void TALed::setInterval(int ms) {
    m_blinkTimer.setInterval(ms);
}

QSize TALed::sizeHint() const {
    return {16, 16};
}

QString TALed::stateText() const {
    if (!m_value)
        return tr("aus");
    QString colour;
    if (m_trueColor == QColor(0, 255, 0))
        colour = tr("grün");
    else if (m_trueColor == QColor(255, 0, 0))
        colour = tr("rot");
    else if (m_trueColor == QColor(255, 255, 0))
        colour = tr("gelb");
    else
        colour = tr("an");
    return m_blink ? tr("%1, blinkt").arg(colour) : colour;
}

void TALed::changeEvent(QEvent *event) {
    // The description is the state in words of the language now active.
    if (event->type() == QEvent::LanguageChange)
        setAccessibleDescription(stateText());
    QWidget::changeEvent(event);
}

void TALed::applyState() {
    setAccessibleDescription(stateText());
    if (m_value && m_blink) {
        if (!m_blinkTimer.isActive()) {
            m_showsLit = true;
            m_blinkTimer.start();
        }
    } else {
        m_blinkTimer.stop();
        m_showsLit = m_value;
    }
    update();
}

// A new colour while blinking starts the blink cycle again from the lit picture.
void TALed::recolour() {
    m_blinkTimer.stop();
    drawPictures();
    applyState();
}

void TALed::drawPictures() {
    const QSize size = this->size().isEmpty() ? sizeHint() : this->size();
    m_litPicture = lampPicture(size, m_trueColor);
    m_darkPicture = lampPicture(size, m_falseColor);
    update();
}

void TALed::toggle() {
    m_showsLit = !m_showsLit;
    update();
}

void TALed::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, currentPicture());
}

void TALed::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    drawPictures();
}
