#pragma once

// Draws the profile report ("Steckbrief"): the red header bar with the title, one 5 mm line
// per table row (a value too long for its box goes on below), and the footer with the date
// and the page count. The layout is made for A4 portrait with 10 mm margins; on another page
// it keeps within the printer's page rectangle, shrunk when the page is narrower. The same
// drawing serves the preview, the printer and a PDF file.

#include "report/reporttable.h"

#include <QDate>
#include <QList>
#include <QPageLayout>
#include <QStringList>

class QPagedPaintDevice;

class ReportRenderer {
public:
    explicit ReportRenderer(const qev::report::ReportTable &table,
                            QDate date = QDate::currentDate());

    // A4 portrait with 10 mm margins.
    static QPageLayout pageLayout();
    static void setUpPage(QPagedPaintDevice &device);
    // The pages the table takes on the device's page layout.
    int pageCount(const QPagedPaintDevice &device) const;

    // Paints every page onto the device; nothing for an empty table. False when the device
    // cannot be painted on (a file that cannot be written).
    bool render(QPagedPaintDevice &device) const;

private:
    // A table row on its page: where its line starts and the value's lines.
    struct Line {
        qsizetype row;
        qreal top; // millimetres of the layout, from the top of the page rectangle
        QStringList value;
    };
    using Page = QList<Line>;

    QList<Page> paginate(const QPagedPaintDevice &device) const;

    const qev::report::ReportTable &m_table;
    QDate m_date;
};

// Writes the report as a PDF file on the given page; false when the file cannot be written.
bool SaveReportPdf(const qev::report::ReportTable &table, const QString &path,
                   QDate date = QDate::currentDate(),
                   const QPageLayout &layout = ReportRenderer::pageLayout());
