#include "pages/devicepage.h"

#include "app/errordisplay.h"
#include "devicelink/devicelink.h"

#include <QShowEvent>
#include <QTimer>
#include <cassert>

DevicePage::DevicePage(QWidget *parent)
    : QWidget(parent) {}

void DevicePage::attach(PageHost &host) {
    m_host = &host;
}

PageHost &DevicePage::host() const {
    assert(m_host);
    return *m_host;
}

void DevicePage::deviceIdentified(const qev::CurrentDevice &, const qev::ClassDispatch &) {}

void DevicePage::setTrafficEnabled(bool enabled) {
    setEnabled(enabled && m_available);
}

void DevicePage::setAvailable(bool available) {
    m_available = available;
    setEnabled(available);
    if (available && m_host)
        setTrafficEnabled(!m_host->link().busy());
}

void DevicePage::guarded(const std::function<void()> &handler) {
    if (m_available)
        RunGuarded(window(), handler);
}

void DevicePage::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // A window restored from the task bar shows its pages again; only a page change reads.
    if (event->spontaneous() || !m_host || m_readPending)
        return;
    // The window may show and hide pages in a row (the class dispatch); read only the page
    // that is still shown once that has settled.
    m_readPending = true;
    QTimer::singleShot(0, this, [this] { readIfStillShown(); });
}

void DevicePage::readIfStillShown() {
    m_readPending = false;
    if (!isVisible() || !m_available || m_host->link().busy())
        return;
    guarded([this] { read(); });
}

void DevicePage::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateForm();
        retranslate();
    }
    QWidget::changeEvent(event);
}
