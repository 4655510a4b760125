#include "flaghint.h"

#include "app/language.h"

#include <QApplication>
#include <QScreen>
#include <climits>

namespace {

// Frame and margins together: 8 pixels across, 6 down.
constexpr int hintFrame = 1;
constexpr int hintMarginX = 3;
constexpr int hintMarginY = 2;

QString joinTips(const char *const (&sentences)[7]) {
    QStringList s;
    for (const char *sentence : sentences)
        s << QString::fromUtf8(sentence);
    const QChar br = QLatin1Char('\n');
    return s[0] + br + br + s[1] + br + s[2] + br + s[3] + br + br + s[4] + br + s[5] + br + s[6];
}

const char *const germanTips[7] = {
    "Probleme beim Einstellen von IP-Adressen? Dann dies beachten!",
    "WLAN und Kabelverbindung gleichzeitig?",
    "Bei gleichzeitiger WLAN und Kabelverbindung kann das Hardware-Gerät nicht zuverlässig "
    "erkannt werden.",
    "Deaktivieren sie in Windows nicht gebrauchte Netzwerkverbindungen.",
    "Mehrere Netzwerkswitche in Betrieb?",
    "Nicht jeder Switch erkennt sofort, wenn das Hardware-Gerät von einem Switch auf den Anderen "
    "umgesteckt wird.",
    "Vermeiden sie das Umstecken oder schalten sie die Switche kurz aus.",
};

const char *const englishTips[7] = {
    "Problems setting IP addresses? Then pay attention to this!",
    "WLAN and cable connection at the same time?",
    "The hardware device cannot be reliably recognised with simultaneous WLAN and cable "
    "connection.",
    "Deactivate unused network connections in Windows.",
    "Several network switches in operation?",
    "Not every switch recognises immediately when the hardware device is moved from one switch "
    "to another.",
    "Avoid reconnecting or switch off the switches briefly.",
};

} // namespace

QString TroubleshootingText(int language) {
    return joinTips(language == LanguageGerman ? germanTips : englishTips);
}

QRect HintRect(const QPoint &anchor, const QRect &screen, int oneLineWidth,
               const std::function<int(int width)> &wrappedHeight) {
    const int textWidth = oneLineWidth > screen.width() ? screen.width() / 2 : oneLineWidth;
    QRect rect(anchor, QSize(textWidth + 2 * (hintFrame + hintMarginX),
                             wrappedHeight(textWidth) + 2 * (hintFrame + hintMarginY)));
    // Back inside the screen where it would stand out; the top-left corner wins.
    if (rect.right() > screen.right())
        rect.moveRight(screen.right());
    if (rect.bottom() > screen.bottom())
        rect.moveBottom(screen.bottom());
    if (rect.left() < screen.left())
        rect.moveLeft(screen.left());
    if (rect.top() < screen.top())
        rect.moveTop(screen.top());
    return rect;
}

FlagHint::FlagHint(QWidget *parent)
    : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TroubleshootingHint"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(hintFrame);
    setContentsMargins(hintMarginX, hintMarginY, hintMarginX, hintMarginY);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
}

void FlagHint::ShowAt(const QPoint &anchor, const QString &text) {
    setText(text);
    const QScreen *shownOn = QGuiApplication::screenAt(anchor);
    if (!shownOn)
        shownOn = QGuiApplication::primaryScreen();
    const QRect screen = shownOn ? shownOn->geometry() : QRect(anchor, QSize(1024, 768));
    const QFontMetrics metrics(font());
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QRect rect = HintRect(anchor, screen, metrics.horizontalAdvance(oneLine), [&](int width) {
        return metrics.boundingRect(QRect(0, 0, width, INT_MAX), Qt::TextWordWrap, text).height();
    });
    setGeometry(rect);
    qApp->installEventFilter(this);
    show();
}

bool FlagHint::eventFilter(QObject *, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::KeyPress:
        hide();
        break;
    default:
        break;
    }
    return false; // the press still does what it does
}

void FlagHint::hideEvent(QHideEvent *event) {
    qApp->removeEventFilter(this);
    QLabel::hideEvent(event);
}

void TroubleshootingHint(FlagHint &balloon, const QWidget &icon) {
    balloon.ShowAt(icon.mapToGlobal(QPoint(0, 0)), TroubleshootingText(ActiveLanguage()));
}
