#include "pages/boosterbus.h"

#include "devicelink/devicelink.h"
#include "pages/booster.h"
#include "pages/pagehost.h"

#include <QColor>
#include <QFont>

namespace {

using qev::boosterlist::BoosterRow;

constexpr int ShownNameLength = 16;

QFont boldFont() {
    QFont font;
    font.setBold(true);
    return font;
}

QString typeText(int type) {
    switch (type) {
    case qev::boosterlist::TypeUnknown:
        return BoosterListModel::tr("Unbekannt");
    case qev::boosterlist::TypeBooster5A:
        return BoosterListModel::tr("Booster 5A");
    case qev::boosterlist::TypeSwitchingBooster:
        return BoosterListModel::tr("Schaltbooster");
    default:
        return {};
    }
}

} // namespace

BoosterListModel::BoosterListModel(QObject *parent)
    : QAbstractTableModel(parent) {}

int BoosterListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_table.rows().size());
}

int BoosterListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BoosterListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const BoosterRow &row = m_table.rows()[std::size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case ColumnNr:
            return row.nr;
        case ColumnTyp:
            return typeText(row.type);
        case ColumnName:
            return row.name.left(ShownNameLength);
        case ColumnSerial:
            return row.serial;
        case ColumnVersion:
            return row.version;
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        if (column == ColumnNr || column == ColumnVersion)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (column == ColumnNr || column == ColumnName)
            return boldFont();
        return {};
    case Qt::ForegroundRole:
        if (column == ColumnSerial || column == ColumnVersion)
            return QColor(Qt::gray);
        return {};
    default:
        return {};
    }
}

QVariant BoosterListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::FontRole && (section == ColumnNr || section == ColumnName))
        return boldFont();
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColumnNr:
        return tr("Adr.");
    case ColumnTyp:
        return tr("Typ");
    case ColumnName:
        return tr("Name");
    case ColumnSerial:
        return tr("Seriennummer");
    case ColumnVersion:
        return tr("Ver");
    default:
        return {};
    }
}

void BoosterListModel::setTable(qev::boosterlist::BoosterTable table) {
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

void BoosterListModel::setChange(int row) {
    if (row >= 0 && row < rowCount())
        m_table.rows()[std::size_t(row)].change = true;
}

void BoosterListModel::retranslate() {
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, ColumnTyp), index(rowCount() - 1, ColumnTyp));
}

BoosterBus::BoosterBus(PageHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host) {}

void BoosterBus::readList(bool keepRows) {
    runListRead([&](qev::boosterlist::BoosterTable &table,
                    const qev::booster::GatewayReadObserver &observer) {
        qev::boosterlist::ReadBoosterList(m_host.link(), table, keepRows, observer.list);
    });
}

void BoosterBus::readGateway() {
    std::optional<QString> name;
    runListRead(
        [&](qev::boosterlist::BoosterTable &table, qev::booster::GatewayReadObserver observer) {
            observer.settingsRead = [this](const qev::boostergateway::Settings &settings) {
                m_settings = settings;
                Q_EMIT settingsRead();
            };
            name = qev::booster::ReadGateway(m_host.link(), table, m_settings, observer).name;
        });
    if (name)
        Q_EMIT nameRead(*name);
}

void BoosterBus::runListRead(const ListRead &read) {
    // The grid keeps showing the old rows while the new ones are read, as if its updates
    // were suspended; it is refreshed once when the list is read, also when a socket error
    // ends the read early.
    qev::boosterlist::BoosterTable table = m_list.table();
    bool finished = false;
    const auto finish = [&] {
        if (finished)
            return;
        finished = true;
        m_list.setTable(table);
        Q_EMIT listReadFinished();
    };
    Q_EMIT listReadStarted();
    const qev::booster::GatewayReadObserver observer{
        .list = {.listAnswered = [this](bool answered) { m_host.showOutcome(answered); },
                 .listRead =
                     [this](int count) {
                         Q_EMIT listCountKnown(count);
                     }},
        .listDone = finish,
        .settingsRead = {}};
    try {
        read(table, observer);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
