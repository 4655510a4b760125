#include "app/pagecontrol.h"

#include "pages/devicepage.h"

void PageControl::setPageCaption(QWidget *page, const QString &caption) {
    m_captions.insert(page, caption);
    setTabText(indexOf(page), caption);
}

void PageControl::applyPageCaptions() {
    for (auto it = m_captions.cbegin(); it != m_captions.cend(); ++it)
        setTabText(indexOf(it.key()), it.value());
}

void PageControl::setPageVisible(QWidget *page, bool visible) {
    ++m_programmatic;
    const int index = indexOf(page);
    setTabVisible(index, visible);
    // Hidden is not enough: a screen reader offers hidden tabs too.
    setTabEnabled(index, visible);
    if (auto *devicePage = qobject_cast<DevicePage *>(page))
        devicePage->setAvailable(visible);
    --m_programmatic;
}

void PageControl::showPage(QWidget *page) {
    setPageVisible(page, true);
    returnTo(page);
}

void PageControl::returnTo(QWidget *page) {
    ++m_programmatic;
    setCurrentWidget(page);
    --m_programmatic;
}

void PageControl::hideAllPages() {
    for (int k = 1; k < count(); ++k)
        setPageVisible(widget(k), false);
}

QList<DevicePage *> PageControl::devicePages() const {
    QList<DevicePage *> pages;
    for (int k = 0; k < count(); ++k) {
        if (auto *page = qobject_cast<DevicePage *>(widget(k)))
            pages.append(page);
    }
    return pages;
}
