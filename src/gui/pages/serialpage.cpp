#include "pages/serialpage.h"

#include "devicelink/devicelink.h"
#include "pages/boosterbus.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int SerialTimerMs = 70;
// Every booster costs up to five steps of the bar.
constexpr int StepsPerBooster = 5;
// The narrowest each column of the grid gets; wider content widens it.
constexpr int ColumnWidths[BoosterListModel::ColumnCount] = {50, 70, 90, 111, 32};

// A widget whose place stays taken while it is hidden, so that the page does not move.
void keepPlaceWhenHidden(QWidget *widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

SerialPage::SerialPage(QWidget *parent)
    : FormDevicePage<Ui::SerialPage>(parent) {
    SerialTimer = new QTimer(this);
    SerialTimer->setObjectName(QStringLiteral("SerialTimer"));
    SerialTimer->setInterval(SerialTimerMs);
    ui.dxDBGrid1->hide();
    ui.ProgressBar3->hide();
    ui.Label99->hide();
    ui.Label99->installEventFilter(this);
    // The grid is hidden during a read: the heading above it keeps its place.
    for (QWidget *comesAndGoes :
         {static_cast<QWidget *>(ui.dxDBGrid1), static_cast<QWidget *>(ui.ProgressBar3),
          static_cast<QWidget *>(ui.Label99)})
        keepPlaceWhenHidden(comesAndGoes);
    m_barMaximum = ui.ProgressBar3->maximum();

    connect(SerialTimer, &QTimer::timeout, this, [this] {
        QProgressBar *bar = ui.ProgressBar3;
        bar->setValue(bar->value() < bar->maximum() ? bar->value() + 1 : bar->minimum());
    });
    connect(ui.btnBoosterList, &QPushButton::clicked, this,
            [this] { guarded([this] { btnBoosterListClick(); }); });
    connect(ui.Button4, &QPushButton::clicked, this,
            [this] { guarded([this] { Button4Click(); }); });
    connect(ui.dxDBGrid1, &QTableView::clicked, this, &SerialPage::dxDBGrid1Click);
    connect(ui.dxEdit9, &QLineEdit::textChanged, this, &SerialPage::dxEdit9Change);
    connect(ui.dxEdit9, &QLineEdit::textEdited, this, &SerialPage::dxEdit9KeyPress);
}

BoosterBus &SerialPage::bus() {
    if (m_bus)
        return *m_bus;
    m_bus = &host().boosterBus();
    BoosterListModel &list = m_bus->list();
    ui.dxDBGrid1->setModel(&list);
    fitColumns();
    connect(&list, &QAbstractItemModel::modelReset, this, &SerialPage::listReplaced);
    connect(m_bus, &BoosterBus::listReadStarted, this, [this] {
        // An empty bus must not keep the range of the bus read before.
        ui.ProgressBar3->setMaximum(m_barMaximum);
        ui.ProgressBar3->setValue(0);
        ui.ProgressBar3->show();
        SerialTimer->start();
    });
    connect(m_bus, &BoosterBus::listCountKnown, this, [this](int count) {
        if (count > 0)
            ui.ProgressBar3->setMaximum(StepsPerBooster * count);
    });
    connect(m_bus, &BoosterBus::listReadFinished, this, [this] {
        SerialTimer->stop();
        ui.ProgressBar3->hide();
        ui.ProgressBar3->setValue(0);
    });
    return *m_bus;
}

void SerialPage::deviceIdentified(const qev::CurrentDevice &, const qev::ClassDispatch &) {
    // The other booster pages may read the list before this page is first shown.
    bus();
}

void SerialPage::read() {
    // The read ends with the bar hidden, Label99 hidden and Button4 disabled.
    bus().readList(false);
    ui.dxDBGrid1->show();
}

void SerialPage::retranslate() {
    if (!m_bus)
        return;
    m_bus->list().retranslate();
    fitColumns();
}

void SerialPage::fitColumns() {
    QHeaderView *header = ui.dxDBGrid1->horizontalHeader();
    const QAbstractItemView *grid = ui.dxDBGrid1;
    for (int column = 0; column < BoosterListModel::ColumnCount; ++column) {
        const int content =
            std::max(grid->sizeHintForColumn(column), header->sectionSizeHint(column));
        header->resizeSection(column, std::max(ColumnWidths[column], content));
    }
}

void SerialPage::hideEvent(QHideEvent *event) {
    FormDevicePage<Ui::SerialPage>::hideEvent(event);
    // Only leaving the page hides the grid; a minimised window keeps it.
    if (!event->spontaneous())
        ui.dxDBGrid1->hide();
}

bool SerialPage::eventFilter(QObject *watched, QEvent *event) {
    if (watched == ui.Label99 && event->type() == QEvent::MouseButtonRelease) {
        ui.Label99->show();
        ui.Button4->setEnabled(true);
    }
    return FormDevicePage<Ui::SerialPage>::eventFilter(watched, event);
}

void SerialPage::btnBoosterListClick() {
    if (host().link().busy())
        return;
    bus().readList(false);
}

void SerialPage::Button4Click() {
    qev::DeviceLink &link = host().link();
    const QModelIndex current = ui.dxDBGrid1->currentIndex();
    // Without a row there is no booster to name: address 0 would reach every booster.
    if (link.busy() || !current.isValid())
        return;
    const qev::DeviceLink::Busy busy(link);
    BoosterListModel &list = bus().list();
    list.setChange(current.row());
    const qev::boosterlist::BoosterRow &row = list.table().rows()[std::size_t(current.row())];
    host().showOutcome(
        qev::boosterlist::WriteBoosterName(link, quint8(row.nr), ui.dxEdit9->text()));
    // The new list clears the name fields (listReplaced).
    bus().readList(false);
}

void SerialPage::dxDBGrid1Click(const QModelIndex &index) {
    if (!index.isValid())
        return;
    const QString name = bus().list().table().rows()[std::size_t(index.row())].name;
    ui.dxEdit8->setText(name);
    ui.dxEdit9->setText(name);
}

void SerialPage::dxEdit9Change() {
    // A name longer than a new name may be shows cut in the new-name field: that is not a
    // change the user made.
    const bool differs = ui.dxEdit9->text() != ui.dxEdit8->text().left(ui.dxEdit9->maxLength());
    ui.Label99->setVisible(differs);
    ui.Button4->setEnabled(differs);
}

void SerialPage::dxEdit9KeyPress() {
    const QModelIndex current = ui.dxDBGrid1->currentIndex();
    if (current.isValid())
        bus().list().setChange(current.row());
}

void SerialPage::listReplaced() {
    ui.dxEdit8->clear();
    ui.dxEdit9->clear();
    ui.Label99->hide();
    ui.Button4->setEnabled(false);
    fitColumns();
    if (bus().list().rowCount() > 0)
        ui.dxDBGrid1->setCurrentIndex(bus().list().index(0, 0));
}
