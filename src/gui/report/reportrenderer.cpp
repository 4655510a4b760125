#include "report/reportrenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace {

// All measures in millimetres of the layout, from the top left corner of the page
// rectangle (inside the margins).
constexpr qreal MarginMm = 10;
constexpr qreal LayoutWidthMm = 210 - 2 * MarginMm;
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
constexpr qreal PageOfWidthMm = 47;
constexpr qreal PageOfHeightMm = 4;

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

// The page rectangle the device offers, and the scale that fits the layout's width into
// it (never enlarged). Height and width are in millimetres of the layout.
struct PageArea {
    explicit PageArea(const QPagedPaintDevice &device) {
        const QRectF paint = device.pageLayout().paintRect(QPageLayout::Millimeter);
        scale = qMin<qreal>(1, paint.width() / LayoutWidthMm);
        width = paint.width() / scale;
        height = paint.height() / scale;
    }
    qreal scale;
    qreal width;
    qreal height;
    qreal footerTop() const { return height - FooterHeightMm; }
};

// The value cut into pieces that each fit the value box, nothing left out.
QStringList valueLines(const QString &value, const QFontMetricsF &metrics, qreal width) {
    QStringList lines;
    QString rest = value;
    while (metrics.horizontalAdvance(rest) > width) {
        qsizetype fit = 1;
        while (fit < rest.size() && metrics.horizontalAdvance(rest.left(fit + 1)) <= width)
            ++fit;
        if (rest[fit - 1].isHighSurrogate() && fit > 1)
            --fit;
        lines << rest.left(fit);
        rest.remove(0, fit);
    }
    lines << rest;
    return lines;
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

QPageLayout ReportRenderer::pageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter);
}

void ReportRenderer::setUpPage(QPagedPaintDevice &device) {
    device.setPageLayout(pageLayout());
}

QList<ReportRenderer::Page> ReportRenderer::paginate(const QPagedPaintDevice &device) const {
    const PageArea area(device);
    // The device's own metrics, so that the pieces fit as they are drawn on it.
    const QFontMetricsF metrics(monoFont(10), &device);
    const qreal valueWidth = ValueBox.width * device.logicalDpiX() / 25.4;
    const qreal bottom = area.footerTop();

    QList<Page> pages;
    qreal top = bottom; // the first row opens the first page
    const QList<qev::report::ReportRow> &rows = m_table.rows();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        Line line{i, 0, valueLines(rows[i].value, metrics, valueWidth)};
        const qreal height = qreal(line.value.size()) * LineHeightMm;
        // A page takes at least one row, however small it is.
        if (top + height > bottom && (pages.isEmpty() || !pages.last().isEmpty())) {
            pages.append(Page());
            top = HeaderHeightMm;
        }
        line.top = top;
        pages.last().append(line);
        top += height;
    }
    return pages;
}

int ReportRenderer::pageCount(const QPagedPaintDevice &device) const {
    return int(paginate(device).size());
}

bool ReportRenderer::render(QPagedPaintDevice &device) const {
    const QList<Page> pages = paginate(device);
    if (pages.isEmpty())
        return true;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const PageArea area(device);
    painter.scale(area.scale, area.scale);
    PagePainter page(painter, device);
    const QFont title = sansFont(15, true);
    const QFont heading = sansFont(10, true);
    const QFont plain = sansFont(10);
    const QFont mono = monoFont(10);
    const QString date = QLocale::system().toString(m_date, QLocale::ShortFormat);
    const QList<qev::report::ReportRow> &rows = m_table.rows();
    const Box pageOf{area.width - PageOfWidthMm, 0, PageOfWidthMm, PageOfHeightMm};

    for (qsizetype number = 1; number <= pages.size(); ++number) {
        if (number > 1)
            device.newPage();
        painter.setPen(Qt::gray);
        painter.setBrush(BarColour);
        painter.drawRect(page.rect(Bar, 0));
        painter.setPen(Qt::white);
        page.text(Title, Bar.top, title, Qt::AlignLeft,
                  QStringLiteral("Steckbrief Netzwerk und Geräte"));

        painter.setPen(Qt::black);
        for (const Line &line : pages[number - 1]) {
            const qev::report::ReportRow &row = rows[line.row];
            // A heading equal to the one on the line before is not printed again.
            if (line.row == 0 || row.heading != rows[line.row - 1].heading)
                page.text(HeadingBox, line.top, heading, Qt::AlignRight, row.heading);
            page.text(LabelBox, line.top, plain, Qt::AlignRight, row.label);
            for (qsizetype piece = 0; piece < line.value.size(); ++piece)
                page.text(ValueBox, line.top + qreal(piece) * LineHeightMm, mono, Qt::AlignLeft,
                          line.value[piece]);
        }

        page.text(CreatedWith, area.footerTop(), plain, Qt::AlignLeft,
                  QStringLiteral("Erstellt mit: Spurnova Qev-Programmer"));
        page.text(pageOf, area.footerTop(), plain, Qt::AlignRight,
                  QStringLiteral("%1 / %2 von %3").arg(date).arg(number).arg(pages.size()));
    }
    return painter.end();
}

bool SaveReportPdf(const qev::report::ReportTable &table, const QString &path, QDate date,
                   const QPageLayout &layout) {
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Steckbrief Netzwerk und Geräte"));
    writer.setCreator(QStringLiteral("Spurnova Qev-Programmer"));
    writer.setPageLayout(layout);
    return ReportRenderer(table, date).render(writer);
}
