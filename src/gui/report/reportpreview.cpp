#include "report/reportpreview.h"

#include "report/reportrenderer.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace {

constexpr int PrintDpi = 600;

// The preview's own actions that this report does not offer: the page views, which carry
// these object names, and the orientation, whose actions carry none; those are known by the
// text the dialog gives them (page setup still offers the orientation).
const char *const HiddenActionNames[] = {"singleModeAction", "facingModeAction",
                                         "overviewModeAction"};
const char *const HiddenActionTexts[] = {"Portrait", "Landscape"};

bool offered(const QAction &action) {
    for (const char *name : HiddenActionNames) {
        if (action.objectName() == QLatin1String(name))
            return false;
    }
    for (const char *text : HiddenActionTexts) {
        if (action.text() == QCoreApplication::translate("QPrintPreviewDialog", text))
            return false;
    }
    return true;
}

} // namespace

ReportPreview::ReportPreview(const qev::report::ReportTable &table, QWidget *parent)
    : QPrintPreviewDialog(parent)
    , m_table(table) {
    // The dialog's printer is the default printer; it prints the report's A4 layout at a
    // resolution fit for paper.
    setModal(true);
    printer()->setResolution(PrintDpi);
    ReportRenderer::setUpPage(*printer());
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { ReportRenderer(m_table).render(*target); });
    for (QAction *action : findChildren<QAction *>()) {
        if (!offered(*action))
            action->setVisible(false);
    }
    if (auto *preview = findChild<QPrintPreviewWidget *>()) {
        preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
        preview->setZoomFactor(1.0);
    }
    m_savePdf = new QAction(this);
    m_savePdf->setObjectName(QStringLiteral("savePdfAction"));
    connect(m_savePdf, &QAction::triggered, this, &ReportPreview::savePdf);
    if (auto *bar = findChild<QToolBar *>())
        bar->addAction(m_savePdf);
    m_pdfPath = [](QWidget *owner) {
        return QFileDialog::getSaveFileName(owner, tr("Als PDF speichern"),
                                            QStringLiteral("Steckbrief.pdf"),
                                            tr("PDF-Dateien (*.pdf)"));
    };
    retranslate();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::setPdfPathQuestion(PdfPathQuestion question) {
    m_pdfPath = std::move(question);
}

void ReportPreview::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QPrintPreviewDialog::changeEvent(event);
}

void ReportPreview::retranslate() {
    m_savePdf->setText(tr("Als PDF speichern"));
    m_savePdf->setToolTip(tr("Die Liste als PDF-Datei speichern"));
}

void ReportPreview::savePdf() {
    const QString path = m_pdfPath(this);
    if (path.isEmpty())
        return;
    if (!SaveReportPdf(m_table, path))
        QMessageBox::warning(this, tr("Als PDF speichern"),
                             tr("Die Datei %1 kann nicht geschrieben werden.").arg(path));
}
