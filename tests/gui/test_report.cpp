// The profile report in the window: the pages as a PDF (read back with poppler's tools), and
// the run of "Liste drucken" offscreen, with a fake host network and kernel tables so that
// nothing leaves loopback.

#include "app/qevprogrammerform.h"
#include "devicelink/devicelink.h"
#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "qtprinters.h"
#include "report/reportpreview.h"
#include "report/reportrenderer.h"
#include "report/reportrun.h"
#include "scriptedsocket.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPdfWriter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QUdpSocket>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using qev::report::ReportTable;

namespace {

QString runTool(const QString &tool, const QStringList &arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// 30 devices of one class: 61 rows, two pages.
ReportTable twoPageTable() {
    ReportTable table;
    table.addHeading(1, QStringLiteral("Mein PC"));
    table.addHeading(1, QStringLiteral("Mein PC")); // the same heading on the next line
    for (int i = 0; i < 29; ++i) {
        table.addHeading(2 + i, QStringLiteral("Ferrano S88-Controller"));
        table.addValue(2 + i, QStringLiteral("IP-Adresse:"), QStringLiteral("192.168.0.%1").arg(i));
    }
    table.addValue(31, QStringLiteral("Ordner:"), QString(70, QLatin1Char('x')));
    table.addValue(31, QStringLiteral("Version:"), QStringLiteral("2.21"));
    return table;
}

TEST(ReportPdf, TwoA4PagesWithHeaderFooterAndSuppressedHeading) {
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdfinfo.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("steckbrief.pdf"));
    const ReportTable table = twoPageTable();
    const QDate date(2026, 3, 7);
    ASSERT_TRUE(SaveReportPdf(table, path, date));

    const QString info = runTool(pdfinfo, {path});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << qPrintable(info);
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << qPrintable(info);

    const QString text = runTool(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    const QString day = QLocale::system().toString(date, QLocale::ShortFormat);
    EXPECT_EQ(text.count(QStringLiteral("Steckbrief Netzwerk und Geräte")), 2) << qPrintable(text);
    EXPECT_EQ(text.count(QStringLiteral("Erstellt mit: Spurnova Qev-Programmer")), 2);
    EXPECT_TRUE(text.contains(day + QStringLiteral(" / 1 von 2"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(day + QStringLiteral(" / 2 von 2")));
    EXPECT_EQ(text.count(QStringLiteral("Mein PC")), 1);
    EXPECT_EQ(text.count(QStringLiteral("Ferrano S88-Controller")), 29);
    EXPECT_TRUE(
        text.contains(QRegularExpression(QStringLiteral("IP-Adresse:\\s+192\\.168\\.0\\.28\\n"))));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Version:\\s+2\\.21\\n"))));
}

TEST(ReportPdf, EmptyTableHasNoPage) {
    QTemporaryDir dir;
    QPdfWriter writer(dir.filePath(QStringLiteral("empty.pdf")));
    ReportRenderer::setUpPage(writer);
    EXPECT_EQ(ReportRenderer(ReportTable()).pageCount(writer), 0);
}

// A word that pdftotext found, in points from the page's top left corner.
struct Word {
    QString text;
    QRectF box;
};

struct PdfWords {
    QSizeF page;
    QList<Word> words;
};

PdfWords wordsOf(const QString &pdftotext, const QString &path) {
    const QString html = runTool(pdftotext, {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    PdfWords result;
    const QRegularExpression page(
        QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
    if (const QRegularExpressionMatch m = page.match(html); m.hasMatch())
        result.page = {m.captured(1).toDouble(), m.captured(2).toDouble()};
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (QRegularExpressionMatchIterator it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        result.words.append(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return result;
}

// Every row and both footer texts lie inside the page rectangle of the printer's layout, and
// a value of the full 64 characters goes on below instead of being cut.
TEST(ReportPdf, RowsStayInsideThePageRectangle) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "poppler-utils (pdftotext) not installed";
    const QString longValue(ReportTable::ValueSize, QLatin1Char('x'));
    ReportTable table;
    table.addHeading(1, QStringLiteral("Mein PC"));
    for (int i = 0; i < 60; ++i)
        table.addValue(1, QStringLiteral("IP-Adresse:"), QStringLiteral("192.168.0.%1").arg(i));
    table.addValue(1, QStringLiteral("Pfad:"), longValue);
    table.addValue(1, QStringLiteral("Version:"), QStringLiteral("2.21"));

    const struct {
        const char *name;
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
        qreal marginMm;
    } layouts[] = {
        {"A4 portrait", QPageSize::A4, QPageLayout::Portrait, 10},
        {"A4 landscape", QPageSize::A4, QPageLayout::Landscape, 10},
        {"Letter portrait", QPageSize::Letter, QPageLayout::Portrait, 10},
        {"A4, margins of 25 mm", QPageSize::A4, QPageLayout::Portrait, 25},
    };
    for (const auto &l : layouts) {
        SCOPED_TRACE(l.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("steckbrief.pdf"));
        const QPageLayout layout(QPageSize(l.size), l.orientation,
                                 QMarginsF(l.marginMm, l.marginMm, l.marginMm, l.marginMm),
                                 QPageLayout::Millimeter);
        ASSERT_TRUE(SaveReportPdf(table, path, QDate(2026, 3, 7), layout));
        const PdfWords pdf = wordsOf(pdftotext, path);
        const QRectF inside = layout.paintRect(QPageLayout::Point).adjusted(-1, -1, 1, 1);
        EXPECT_NEAR(pdf.page.width(), layout.fullRect(QPageLayout::Point).width(), 0.5);
        EXPECT_NEAR(pdf.page.height(), layout.fullRect(QPageLayout::Point).height(), 0.5);

        int addresses = 0;
        int footers = 0;
        QString value;
        for (const Word &word : pdf.words) {
            EXPECT_TRUE(inside.contains(word.box)) << qPrintable(word.text);
            addresses += word.text == QStringLiteral("IP-Adresse:");
            footers += word.text == QStringLiteral("Erstellt");
            if (!word.text.isEmpty() && word.text.count(QLatin1Char('x')) == word.text.size())
                value += word.text;
        }
        EXPECT_EQ(addresses, 60);
        EXPECT_GE(footers, 2);
        EXPECT_EQ(value, longValue);
    }
}

// The preview's tool bar offers print, zoom, page setup, page navigation and the PDF file;
// neither the orientation (that is page setup's) nor the page views.
TEST(ReportPreviewBar, OffersNoOrientationAndNoPageViews) {
    ReportTable table;
    table.addHeading(1, QStringLiteral("Mein PC"));
    ReportPreview preview(table);
    QStringList offered;
    for (QAction *action : preview.findChild<QToolBar *>()->actions()) {
        if (action->isVisible() && !action->isSeparator() && !action->text().isEmpty())
            offered << action->text();
    }
    // In whichever language an earlier test of the same process left active.
    QStringList expected;
    for (const char *text : {"Fit width", "Fit page", "Zoom out", "Zoom in", "First page",
                             "Previous page", "Next page", "Last page", "Page setup", "Print"})
        expected << QCoreApplication::translate("QPrintPreviewDialog", text);
    expected << QCoreApplication::translate("ReportPreview", "Als PDF speichern");
    EXPECT_EQ(offered, expected);
}

// The window with a link on a scripted socket that nothing is sent to: the report's
// discovery goes to a loopback socket of the test, the station search finds no neighbour.
class ReportWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
        qputenv("WINEPREFIX", dir.filePath(QStringLiteral("wine")).toLocal8Bit());
        host.setLocalIP(QStringLiteral("127.0.0.1"));
        qev::ProtocolPorts ports;
        ports.base = listener.localPort();
        form = std::make_unique<TQevProgrammerForm>(dir.filePath(QStringLiteral("qev.ini")), ports,
                                                    nullptr, script.factory());
        form->show();
        form->FormActivate();
        run().settings().broadcastAddress = QStringLiteral("127.0.0.1");
        run().settings().discoveryMs = 600;
        form->setConfirmation([this](const QString &caption, const QString &) {
            questions << caption;
            return false;
        });
        run().setPreview([this](const ReportTable &table) {
            previewed = table;
            buttonDuringPreview = button()->isEnabled();
        });
    }

    ReportRun &run() { return form->reportRun(); }
    QPushButton *button() {
        return form->findChild<QPushButton *>(QStringLiteral("btnSteckbrief"));
    }
    // btnSuche, btnDirekt, WriteBtn and btnSteckbrief.
    QWidget *trafficButtons() {
        return form->findChild<QWidget *>(QStringLiteral("TrafficButtons"));
    }
    QProgressBar *bar() { return form->findChild<QProgressBar *>(QStringLiteral("pbPrint")); }
    QLabel *status() { return form->findChild<QLabel *>(QStringLiteral("lbSteckbriefStatus")); }

    void expectIdle() {
        EXPECT_TRUE(button()->isEnabled());
        EXPECT_TRUE(trafficButtons()->isEnabled());
        EXPECT_FALSE(bar()->isVisible());
        EXPECT_FALSE(status()->isVisible());
        EXPECT_TRUE(status()->text().isEmpty());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(run().running());
    }

    QTemporaryDir dir;
    QUdpSocket listener; // takes the discovery and stays silent
    qevtest::FakeHostNetwork host;
    qevtest::FakeKernelTables tables;
    qevtest::SocketScript script;
    std::unique_ptr<TQevProgrammerForm> form;
    QStringList questions;
    std::optional<ReportTable> previewed;
    bool buttonDuringPreview = false;
};

TEST_F(ReportWindow, RunShowsProgressLocksTrafficAndEndsInThePreview) {
    bool seen = false;
    QTimer::singleShot(300, form.get(), [&] {
        seen = true;
        EXPECT_FALSE(button()->isEnabled());
        EXPECT_FALSE(trafficButtons()->isEnabled());
        EXPECT_TRUE(bar()->isVisible());
        EXPECT_EQ(bar()->maximum(), ReportRun::ProgressMaximum);
        EXPECT_EQ(status()->text(), QStringLiteral("Geräte..."));
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        // A second run cannot start inside the first.
        run().btnSteckbriefClick();
    });
    button()->click();

    EXPECT_TRUE(seen);
    EXPECT_EQ(questions, QStringList{QStringLiteral("Erweiterte Suche")});
    ASSERT_TRUE(previewed.has_value());
    EXPECT_TRUE(buttonDuringPreview);
    ASSERT_GE(previewed->rows().size(), 3);
    EXPECT_EQ(previewed->rows().first().heading, QStringLiteral("Mein PC"));
    EXPECT_EQ(previewed->rows()[1].label, QStringLiteral("PC Name:"));
    // No device, no station, no disk search: the program's own group is 20.
    const qsizetype own = previewed->rows().size() - 4;
    EXPECT_EQ(previewed->rows()[own].heading, QStringLiteral("Qev-Programmer"));
    EXPECT_EQ(previewed->rows()[own].group, 20);
    EXPECT_TRUE(previewed->rows()[own + 1].value.endsWith(QLatin1Char('/')));
    expectIdle();
}

TEST_F(ReportWindow, ErrorOfTheDiscoveryLeavesTheDevicesOutAndSaysSo) {
    // Nobody listens there: the discovery's receive reports the closed port.
    listener.close();
    button()->click();
    EXPECT_EQ(questions.size(), 1);
    ASSERT_TRUE(previewed.has_value());
    EXPECT_EQ(previewed->rows().first().heading, QStringLiteral("Mein PC"));
    EXPECT_EQ(previewed->rows()[previewed->rows().size() - 4].group, 20);
    EXPECT_TRUE(status()->isVisible());
    EXPECT_TRUE(status()->text().startsWith(QStringLiteral("Geräte fehlen in der Liste: ")))
        << qPrintable(status()->text());
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(button()->isEnabled());
    EXPECT_FALSE(run().running());
}

} // namespace
