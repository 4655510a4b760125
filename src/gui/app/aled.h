#pragma once

#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The status LED: a square lamp that is lit in its true colour, dark in its false colour,
// and can blink between the two.
class TALed : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool value READ value WRITE setValue)
    Q_PROPERTY(bool blink READ blink WRITE setBlink)
    Q_PROPERTY(QColor trueColor READ trueColor WRITE setTrueColor)
    Q_PROPERTY(QColor falseColor READ falseColor WRITE setFalseColor)
    Q_PROPERTY(int interval READ interval WRITE setInterval)

public:
    explicit TALed(QWidget *parent = nullptr);

    bool value() const { return m_value; }
    void setValue(bool on);
    bool blink() const { return m_blink; }
    void setBlink(bool on);
    QColor trueColor() const { return m_trueColor; }
    void setTrueColor(const QColor &colour);
    QColor falseColor() const { return m_falseColor; }
    void setFalseColor(const QColor &colour);
    int interval() const { return m_blinkTimer.interval(); }
    void setInterval(int ms);

    // What the lamp shows at this moment: the lit picture or the dark one.
    bool showsLitPicture() const { return m_showsLit; }
    bool isBlinking() const { return m_blinkTimer.isActive(); }
    QPixmap currentPicture() const { return m_showsLit ? m_litPicture : m_darkPicture; }
    // The state in words ("aus", "grün", "rot, blinkt"): the lamp's accessible description,
    // so that a screen reader can tell what a sighted user sees.
    QString stateText() const;

    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyState();
    void recolour();
    void drawPictures();
    void toggle();

    bool m_value = false;
    bool m_blink = false;
    bool m_showsLit = false;
    QColor m_trueColor{0, 255, 0};
    QColor m_falseColor{192, 192, 192};
    QPixmap m_litPicture;
    QPixmap m_darkPicture;
    QTimer m_blinkTimer;
};
