#pragma once

// Draws the profile report ("Steckbrief") on A4 pages: the red header bar with the title,
// one 5 mm line per table row, and the footer with the date and the page count. The same
// drawing serves the preview, the printer and a PDF file.

#include "report/reporttable.h"

#include <QDate>

class QPagedPaintDevice;
class QPrinter;

class ReportRenderer {
public:
    explicit ReportRenderer(const qev::report::ReportTable &table,
                            QDate date = QDate::currentDate());

    // A4 portrait with 10 mm margins.
    static void setUpPage(QPagedPaintDevice &device);
    // Table rows on one page, below the header and above the footer.
    static int linesPerPage();
    int pageCount() const;

    // Paints every page onto the device; nothing for an empty table. False when the device
    // cannot be painted on (a file that cannot be written).
    bool render(QPagedPaintDevice &device) const;

private:
    const qev::report::ReportTable &m_table;
    QDate m_date;
};

// Writes the report as a PDF file with the same layout; false when the file cannot be
// written.
bool SaveReportPdf(const qev::report::ReportTable &table, const QString &path,
                   QDate date = QDate::currentDate());
