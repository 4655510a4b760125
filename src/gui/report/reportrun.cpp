#include "report/reportrun.h"

#include "app/messagetext.h"
#include "flows/report.h"
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
    const qev::Confirmation question = qev::flow::ScanDiskQuestion();
    settings.scanDisk =
        m_window.ask(MessageText(question.captionId), qev::ComposeText(question.text, MessageText));
    settings.captions = m_window.captions();

    qev::report::ReportTable table;
    qev::report::ReportOutcome outcome;
    {
        m_window.progress->setRange(0, ProgressMaximum);
        m_window.progress->setValue(0);
        m_window.progress->setVisible(true);
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
        outcome = qev::flow::CollectProfile(table, m_window.link, settings, MessageText, hooks);
    }
    if (!outcome.discoveryError.isEmpty()) {
        // The list lacks its devices: the label beside the button says why until the next run.
        m_window.status->setText(tr("Geräte fehlen in der Liste: %1").arg(outcome.discoveryError));
        m_window.status->setVisible(true);
    }
    m_preview(table);
}
