// The Protokoll window offscreen, over a trace filled by hand: live rows, the address
// filter, Pause, Kopieren, Speichern, and the status bar's button that opens it.

#include "trace/pcapngwriter.h"
#include "trace/protokollform.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using qev::TraceEntry;

namespace {

TraceEntry datagram(TraceEntry::Kind kind, quint8 device, const char *hex, const char *command) {
    TraceEntry e;
    e.kind = kind;
    e.local = {{192, 168, 77, 1}, 40001};
    e.remote = {{192, 168, 77, device}, 11080};
    e.bytes = QByteArray::fromHex(hex);
    e.command = command;
    return e;
}

QStringList row(const QTableView *view, int r) {
    QStringList cells;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        cells << view->model()->index(r, c).data().toString();
    return cells;
}

TEST(ProtokollForm, ShowsFiltersPausesCopiesAndSaves) {
    qev::DatagramTrace trace;
    trace.record(datagram(TraceEntry::Kind::Sent, 255, "F5", "Suche"));
    trace.record(datagram(TraceEntry::Kind::Received, 10, "21F5C0A84D0A", "Suche"));
    trace.record(datagram(TraceEntry::Kind::Received, 11, "21F5C0A84D0B", "Suche"));

    TProtokollForm form(trace);
    form.show();
    auto *view = form.findChild<QTableView *>(QStringLiteral("tvProtokoll"));
    auto *filter = form.findChild<QLineEdit *>(QStringLiteral("edFilter"));
    auto *pause = form.findChild<QPushButton *>(QStringLiteral("btnPause"));
    auto *save = form.findChild<QPushButton *>(QStringLiteral("btnSpeichern"));
    auto *copy = form.findChild<QPushButton *>(QStringLiteral("btnKopieren"));
    ASSERT_TRUE(view && filter && pause && save && copy);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Protokoll"));
    for (QWidget *control : std::initializer_list<QWidget *>{view, filter, pause, save, copy})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();

    ASSERT_EQ(view->model()->rowCount(), 3);
    QStringList second = row(view, 1);
    second.removeFirst(); // the time
    EXPECT_EQ(second, (QStringList{"empfangen", "192.168.77.10", "11080", "6", "Suche",
                                   "21 F5 C0 A8 4D 0A"}));

    // Live: a new datagram appears without any action.
    trace.record(datagram(TraceEntry::Kind::Sent, 10, "0F", "Identifikation"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount() == 4; }, 2000));

    // Paused, nothing new arrives; going on brings what came meanwhile.
    QTest::mouseClick(pause, Qt::LeftButton);
    trace.record(datagram(TraceEntry::Kind::TimedOut, 10, "", "Identifikation"));
    QTest::qWait(600);
    EXPECT_EQ(view->model()->rowCount(), 4);
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount() == 5; }, 2000));
    EXPECT_EQ(row(view, 4)[1], QStringLiteral("Zeitüberschreitung"));

    // Filter by device address.
    QTest::keyClicks(filter, QStringLiteral("192.168.77.10"));
    ASSERT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(row(view, 0)[5], QStringLiteral("Suche"));
    EXPECT_EQ(row(view, 1)[5], QStringLiteral("Identifikation"));

    // Kopieren: the selected rows, one line each, in the order shown.
    view->selectRow(1);
    view->selectionModel()->select(view->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::mouseClick(copy, Qt::LeftButton);
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QStringList first = lines[0].split('\t');
    ASSERT_EQ(first.size(), 4);
    EXPECT_EQ(first.mid(1), (QStringList{"empfangen", "192.168.77.10:11080", "21 F5 C0 A8 4D 0A"}));
    EXPECT_EQ(lines[1].split('\t').mid(1), (QStringList{"gesendet", "192.168.77.10:11080", "0F"}));

    // Speichern: the rows shown, as pcapng.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.pcapng"));
    form.setSavePathPrompt([&](QWidget *) { return path; });
    QTest::mouseClick(save, Qt::LeftButton);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    std::vector<TraceEntry> shown = trace.entriesAfter();
    shown.erase(shown.begin());     // the broadcast, filtered out
    shown.erase(shown.begin() + 1); // the other device's reply
    EXPECT_EQ(saved.readAll(), qev::PcapngBytes(shown, trace.wallClockOffsetUs()));
}

TEST(ProtokollForm, StatusBarButtonAndShortcutOpenIt) {
    qev::DatagramTrace trace;
    QMainWindow window;
    AddProtokollButton(window.statusBar(), &window);
    EXPECT_EQ(window.findChild<QToolButton *>(QStringLiteral("btnProtokoll")), nullptr)
        << "no trace, no button";

    qev::InstallDatagramTrace(&trace);
    AddProtokollButton(window.statusBar(), &window);
    qev::InstallDatagramTrace(nullptr);
    window.show();
    auto *button = window.findChild<QToolButton *>(QStringLiteral("btnProtokoll"));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->accessibleName().isEmpty());
    EXPECT_EQ(window.findChild<TProtokollForm *>(), nullptr);
    button->click();
    auto *form = window.findChild<TProtokollForm *>();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    form->close();
    // The shortcut opens the same window again (the offscreen platform does not route key
    // presses by window activation, so it is triggered directly).
    auto *shortcut = window.findChild<QShortcut *>();
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->key(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    Q_EMIT shortcut->activated();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(window.findChildren<TProtokollForm *>().size(), 1);
}

} // namespace
