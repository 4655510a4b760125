#include "devicelink/selectipform.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

qev::DeviceRecord record(const char *address, quint8 deviceClass) {
    qev::DeviceRecord r;
    r.address = QString::fromLatin1(address);
    r.netmask = QStringLiteral("255.255.255.0");
    r.deviceClass = deviceClass;
    return r;
}

// The list in the order the search found it; the grid shows it sorted by address text.
const QList<qev::DeviceRecord> found = {
    record("192.168.0.3", 16),  // Ferrano Zentrale
    record("192.168.0.20", 6),  // s88 Master: no pick-list name
    record("10.0.0.7", 27),     // Ferrano Booster GW
    record("192.168.0.100", 2), // Velocimo
};

struct Form {
    TSelectIPForm form;
    QTableWidget *grid = form.findChild<QTableWidget *>(QStringLiteral("dxDBGrid1"));
    QPushButton *abort = form.findChild<QPushButton *>(QStringLiteral("btnAbort"));
    QLabel *band = form.findChild<QLabel *>(QStringLiteral("dxDBGrid1Band"));

    explicit Form(bool english = false) {
        form.Fill(found, english);
        form.show();
    }

    // The visible columns of the grid, row by row.
    QStringList shownRows() const {
        QStringList rows;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid->columnCount(); ++c) {
                if (!grid->isColumnHidden(c))
                    cells << grid->item(r, c)->text();
            }
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

    QStringList headings() const {
        QStringList texts;
        for (int c = 0; c < grid->columnCount(); ++c) {
            if (!grid->isColumnHidden(c))
                texts << grid->horizontalHeaderItem(c)->text();
        }
        return texts;
    }

    void clickRow(int row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

TEST(SelectIPForm, RowsAreSortedByAddressTextWithPickListNames) {
    Form f;
    EXPECT_EQ(f.shownRows(), (QStringList{
                                 QStringLiteral("10.0.0.7|Ferrano Booster GW"),
                                 QStringLiteral("192.168.0.100|Velocimo"),
                                 QStringLiteral("192.168.0.20|"),
                                 QStringLiteral("192.168.0.3|Ferrano Zentrale"),
                             }));
}

TEST(SelectIPForm, ClickingARowPicksTheRecordThatProducedIt) {
    // display row -> index in the list given to the form
    const std::pair<int, qsizetype> rows[] = {{0, 2}, {1, 3}, {2, 1}, {3, 0}};
    for (const auto &[row, index] : rows) {
        SCOPED_TRACE(row);
        Form f;
        f.clickRow(row);
        ASSERT_EQ(f.form.SelectedIndex(), index);
        EXPECT_EQ(f.form.SelectedRecord()->address, found[index].address);
        EXPECT_EQ(f.form.result(), QDialog::Accepted);
        EXPECT_FALSE(f.form.isVisible());
    }
}

TEST(SelectIPForm, AbortEnterAndEscapeCloseWithoutASelection) {
    const std::pair<const char *, std::function<void(Form &)>> ways[] = {
        {"Abort",
         [](Form &f) {
             QTest::mouseClick(f.abort, Qt::LeftButton);
         }},
        {"Enter",
         [](Form &f) {
             QTest::keyClick(&f.form, Qt::Key_Return);
         }},
        {"Escape",
         [](Form &f) {
             QTest::keyClick(&f.form, Qt::Key_Escape);
         }},
    };
    for (const auto &[name, close] : ways) {
        SCOPED_TRACE(name);
        Form f;
        close(f);
        EXPECT_FALSE(f.form.isVisible());
        EXPECT_EQ(f.form.result(), QDialog::Rejected);
        EXPECT_FALSE(f.form.SelectedIndex().has_value());
        EXPECT_EQ(f.form.SelectedRecord(), nullptr);
    }
}

TEST(SelectIPForm, NothingIsSelectedAtCreation) {
    TSelectIPForm form;
    EXPECT_FALSE(form.SelectedIndex().has_value());
}

TEST(SelectIPForm, CaptionsPerLanguage) {
    struct Row {
        bool english;
        QStringList headings;
        QString button;
    };
    const Row rows[] = {
        {false, {QStringLiteral("Auswahl"), QStringLiteral(" ")}, QStringLiteral("Abbruch")},
        {true, {QStringLiteral("Select"), QStringLiteral(" ")}, QStringLiteral("Abort")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.english);
        Form f(row.english);
        EXPECT_EQ(f.headings(), row.headings);
        EXPECT_EQ(f.abort->text(), row.button);
        EXPECT_EQ(f.band->text(), QStringLiteral("Auswahl")); // the band stays German
        EXPECT_FALSE(f.abort->accessibleName().isEmpty());
        EXPECT_FALSE(f.grid->accessibleName().isEmpty());
    }
}

TEST(SelectIPForm, BorderlessDarkRedWindow) {
    Form f;
    EXPECT_TRUE(f.form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(f.form.size(), QSize(274, 200));
    EXPECT_EQ(f.form.grab().toImage().pixelColor(1, 1), QColor(204, 0, 0));
}

// Opens at its usual size but can be enlarged, and no scroll bar ever covers a row: five
// devices fit without a horizontal bar, and a long list is shown whole in a taller window.
TEST(SelectIPForm, GrowsForLongListsAndNoScrollBarCoversARow) {
    QList<qev::DeviceRecord> many;
    for (int k = 1; k <= 24; ++k)
        many << record(qPrintable(QStringLiteral("192.168.1.%1").arg(k)), 17);
    for (const int count : {5, 24}) {
        TSelectIPForm form;
        form.Fill(many.mid(0, count), false);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        auto *grid = form.findChild<QTableWidget *>(QStringLiteral("dxDBGrid1"));
        EXPECT_EQ(form.size(), QSize(274, 200));
        EXPECT_NE(form.findChild<QWidget *>(QStringLiteral("SizeGrip")), nullptr);
        EXPECT_GT(form.maximumHeight(), 200);
        form.resize(274, 200 + count * grid->rowHeight(0));
        QTest::qWait(20);
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible()) << count;
        const QRect last = grid->visualRect(grid->model()->index(count - 1, 1));
        EXPECT_LE(last.bottom(), grid->viewport()->height()) << count;
    }
}

TEST(SelectIPForm, HeaderBlinksEvery400ms) {
    Form f;
    const auto *timer = f.form.findChild<QTimer *>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_TRUE(timer->isActive());

    const QColor red(204, 0, 0);
    const QColor white(255, 255, 255);
    auto bandColours = [&] {
        return std::pair(f.band->palette().color(QPalette::Window),
                         f.band->palette().color(QPalette::WindowText));
    };
    ASSERT_FALSE(f.form.HeaderInverted());
    EXPECT_EQ(bandColours(), std::pair(red, white));
    const QPoint inHeader(5, f.grid->horizontalHeader()->height() / 2);
    EXPECT_EQ(f.grid->horizontalHeader()->grab().toImage().pixelColor(inHeader), red);

    ASSERT_TRUE(QTest::qWaitFor([&] { return f.form.HeaderInverted(); }, 3000));
    EXPECT_EQ(bandColours(), std::pair(white, red));
    EXPECT_EQ(f.grid->horizontalHeader()->grab().toImage().pixelColor(inHeader), white);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.form.HeaderInverted(); }, 3000));
    EXPECT_EQ(bandColours(), std::pair(red, white));
}

TEST(SelectIPForm, PickerShowsTheListModallyAndReturnsThePick) {
    // Clicks the second row of whichever pick list is open once the modal loop runs.
    QTimer::singleShot(0, [] {
        auto *open = qobject_cast<TSelectIPForm *>(QApplication::activeModalWidget());
        ASSERT_NE(open, nullptr);
        auto *grid = open->findChild<QTableWidget *>(QStringLiteral("dxDBGrid1"));
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    });
    bool asked = false;
    const qev::DevicePicker pick = PickListPicker(nullptr, [&] {
        asked = true;
        return true;
    });
    EXPECT_EQ(pick(found), qsizetype(3)); // 192.168.0.100, the fourth record
    EXPECT_TRUE(asked);
}

} // namespace
