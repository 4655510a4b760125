#include "report/reportrenderer.h"

#include <QFont>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace {

// All measures in millimetres, from the top left corner inside the margins.
constexpr qreal MarginMm = 10;
constexpr qreal PageHeightMm = 297 - 2 * MarginMm;
constexpr qreal HeaderHeightMm = 12;
constexpr qreal LineHeightMm = 5;
constexpr qreal FooterHeightMm = 5;

struct Box {
    qreal left;
    qreal top;
    qreal width;
    qreal height;
};

constexpr Box Bar{0, 0, 191, 10};
constexpr Box Title{3, 1.5, 96, 6};
constexpr Box HeadingBox{15, 0, 62, LineHeightMm};
constexpr Box LabelBox{35, 0, 49, LineHeightMm};
constexpr Box ValueBox{89, 0, 101, LineHeightMm};
constexpr Box CreatedWith{1, 0, 77, 4.5};
constexpr Box PageOf{190 - 47, 0, 47, 4};

const QColor BarColour(221, 0, 0);

// Arial and Consolas where the system has them, their metric twins elsewhere.
QFont reportFont(const QString &family, const QString &twin, qreal points, bool bold = false) {
    QFont font(family);
    font.setFamilies({family, twin});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont sansFont(qreal points, bool bold = false) {
    return reportFont(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), points, bold);
}

QFont monoFont(qreal points) {
    return reportFont(QStringLiteral("Consolas"), QStringLiteral("Liberation Mono"), points);
}

class PagePainter {
public:
    PagePainter(QPainter &painter, const QPagedPaintDevice &device)
        : m_painter(painter)
        , m_x(device.logicalDpiX() / 25.4)
        , m_y(device.logicalDpiY() / 25.4) {}

    QRectF rect(const Box &box, qreal top) const {
        return {box.left * m_x, (top + box.top) * m_y, box.width * m_x, box.height * m_y};
    }

    void text(const Box &box, qreal top, const QFont &font, Qt::Alignment align,
              const QString &text) {
        m_painter.setFont(font);
        m_painter.drawText(rect(box, top), int(align | Qt::AlignVCenter) | Qt::TextSingleLine,
                           text);
    }

    QPainter &painter() { return m_painter; }

private:
    QPainter &m_painter;
    qreal m_x;
    qreal m_y;
};

} // namespace

ReportRenderer::ReportRenderer(const qev::report::ReportTable &table, QDate date)
    : m_table(table)
    , m_date(date) {}

void ReportRenderer::setUpPage(QPagedPaintDevice &device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                     QPageLayout::Millimeter));
}

int ReportRenderer::linesPerPage() {
    return int((PageHeightMm - HeaderHeightMm - FooterHeightMm) / LineHeightMm);
}

int ReportRenderer::pageCount() const {
    const qsizetype rows = m_table.rows().size();
    return int((rows + linesPerPage() - 1) / linesPerPage());
}

bool ReportRenderer::render(QPagedPaintDevice &device) const {
    const int pages = pageCount();
    if (pages == 0)
        return true;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PagePainter page(painter, device);
    const QFont title = sansFont(15, true);
    const QFont heading = sansFont(10, true);
    const QFont plain = sansFont(10);
    const QFont mono = monoFont(10);
    const QString date = QLocale::system().toString(m_date, QLocale::ShortFormat);
    const QList<qev::report::ReportRow> &rows = m_table.rows();

    for (int number = 1; number <= pages; ++number) {
        if (number > 1)
            device.newPage();
        painter.setPen(Qt::gray);
        painter.setBrush(BarColour);
        painter.drawRect(page.rect(Bar, 0));
        painter.setPen(Qt::white);
        page.text(Title, Bar.top, title, Qt::AlignLeft,
                  QStringLiteral("Steckbrief Netzwerk und Geräte"));

        painter.setPen(Qt::black);
        const qsizetype first = qsizetype(number - 1) * linesPerPage();
        const qsizetype last = qMin(rows.size(), first + linesPerPage());
        for (qsizetype i = first; i < last; ++i) {
            const qev::report::ReportRow &row = rows[i];
            const qreal top = HeaderHeightMm + qreal(i - first) * LineHeightMm;
            // A heading equal to the one on the line before is not printed again.
            if (i == 0 || row.heading != rows[i - 1].heading)
                page.text(HeadingBox, top, heading, Qt::AlignRight, row.heading);
            page.text(LabelBox, top, plain, Qt::AlignRight, row.label);
            page.text(ValueBox, top, mono, Qt::AlignLeft, row.value);
        }

        const qreal footer = PageHeightMm - FooterHeightMm;
        page.text(CreatedWith, footer, plain, Qt::AlignLeft,
                  QStringLiteral("Erstellt mit: Spurnova Qev-Programmer"));
        page.text(PageOf, footer, plain, Qt::AlignRight,
                  QStringLiteral("%1 / %2 von %3").arg(date).arg(number).arg(pages));
    }
    return painter.end();
}

bool SaveReportPdf(const qev::report::ReportTable &table, const QString &path, QDate date) {
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Steckbrief Netzwerk und Geräte"));
    writer.setCreator(QStringLiteral("Spurnova Qev-Programmer"));
    ReportRenderer::setUpPage(writer);
    return ReportRenderer(table, date).render(writer);
}
