#include "report/reportrun.h"

#include "app/messagetext.h"
#include "devicelink/devicelink.h"
#include "netinspect/adapters.h"
#include "report/reportpreview.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>

ReportRun::ReportRun(Window window)
    : QObject(window.parent)
    , m_window(std::move(window)) {
    m_preview = [parent = m_window.parent](const qev::report::ReportTable &table) {
        ReportPreview preview(table, parent);
        preview.exec();
    };
    m_settings.programFile = QCoreApplication::applicationFilePath();
    m_settings.programVersion = QCoreApplication::applicationVersion();
    showIdle();
}

void ReportRun::setPreview(Preview preview) {
    m_preview = std::move(preview);
}

void ReportRun::showIdle() {
    m_window.progress->setVisible(false);
    m_window.status->clear();
    m_window.status->setVisible(false);
}

void ReportRun::step() {
    QProgressBar *bar = m_window.progress;
    bar->setValue(bar->value() >= ProgressMaximum ? 0 : bar->value() + 1);
}

void ReportRun::btnSteckbriefClick() {
    if (m_running)
        return;
    m_running = true;
    const auto notRunning = qScopeGuard([this] { m_running = false; });

    qev::report::ReportSettings settings = m_settings;
    settings.scanDisk =
        m_window.ask(MessageText(IDS_142),
                     MessageText(IDS_140) + QStringLiteral("\r\n\n") + MessageText(IDS_141));
    settings.captions = m_window.captions();
    settings.pcDataStatus = MessageText(IDS_145);
    settings.devicesStatus = MessageText(IDS_143);
    settings.foreignStatus = MessageText(IDS_144);
    if (settings.broadcastAddress.isEmpty())
        settings.broadcastAddress = qev::GetLocalBroadcast();

    qev::report::ReportTable table;
    qev::report::ReportOutcome outcome;
    {
        const qev::DeviceLink::Busy busy(m_window.link);
        m_window.progress->setRange(0, ProgressMaximum);
        m_window.progress->setValue(0);
        m_window.progress->setVisible(true);
        m_window.status->setText(settings.pcDataStatus);
        m_window.status->setVisible(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto idle = qScopeGuard([this] {
            QApplication::restoreOverrideCursor();
            showIdle();
        });
        const qev::report::ReportHooks hooks{
            .status = [this](const QString &text) { m_window.status->setText(text); },
            .step = [this] { step(); },
            .pump =
                [] {
                    QCoreApplication::processEvents(QEventLoop::AllEvents);
                }};
        outcome = qev::report::CollectReport(table, m_window.link, settings, hooks);
    }
    if (!outcome.discoveryError.isEmpty()) {
        // The list lacks its devices: the label beside the button says why until the next run.
        m_window.status->setText(tr("Geräte fehlen in der Liste: %1").arg(outcome.discoveryError));
        m_window.status->setVisible(true);
    }
    m_preview(table);
}
