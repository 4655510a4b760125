#pragma once

// The modal print preview of the profile report: print to the default printer, zoom, page
// setup, page navigation, and saving the same pages as a PDF file.

#include "report/reporttable.h"

#include <QPrintPreviewDialog>
#include <functional>

class ReportPreview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    // Asks where to save the PDF; an empty answer saves nothing. Tests answer themselves.
    using PdfPathQuestion = std::function<QString(QWidget *parent)>;

    ReportPreview(const qev::report::ReportTable &table, QWidget *parent = nullptr);
    ~ReportPreview() override;

    void setPdfPathQuestion(PdfPathQuestion question);
    // "Als PDF speichern" in the tool bar.
    QAction *savePdfAction() const { return m_savePdf; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void savePdf();
    void retranslate();

    const qev::report::ReportTable &m_table;
    QAction *m_savePdf = nullptr;
    PdfPathQuestion m_pdfPath;
};
