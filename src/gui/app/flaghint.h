#pragma once

#include <QLabel>
#include <QRect>
#include <functional>

// The network tips: fixed texts of the program, German for German and English for any
// other language.
QString TroubleshootingText(int language);

// Where the tips balloon stands: its top-left corner at anchor, kept on the screen; as wide
// as the text in one line (half the screen when that would not fit) plus 8, as high as the
// text wrapped at that width plus 6.
QRect HintRect(const QPoint &anchor, const QRect &screen, int oneLineWidth,
               const std::function<int(int width)> &wrappedHeight);

// A balloon that shows a text without taking the focus and goes away at the next mouse
// button or key press anywhere in the program.
class FlagHint : public QLabel {
    Q_OBJECT
public:
    explicit FlagHint(QWidget *parent = nullptr);

    // Shows text with its top-left corner at anchor (global coordinates).
    void ShowAt(const QPoint &anchor, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};

// Shows the network tips in the active language at the top-left corner of `icon`.
void TroubleshootingHint(FlagHint &balloon, const QWidget &icon);
