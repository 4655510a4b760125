#pragma once

// What the booster list page, the gateway page and the booster page share: the list of
// boosters on the current device's bus (one model, whichever page reads it), and the values
// of the gateway's and boosters' settings, which the two settings pages show in parts and
// each write sends whole.

#include "pages/booster.h"

#include <QAbstractTableModel>
#include <QObject>
#include <functional>

class PageHost;

// The rows of dxMemBooster, sorted by address, as the grid shows them.
class BoosterListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColumnNr, ColumnTyp, ColumnName, ColumnSerial, ColumnVersion, ColumnCount };

    explicit BoosterListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const qev::boosterlist::BoosterTable &table() const { return m_table; }
    // Replaces every row (the grid is refreshed once).
    void setTable(qev::boosterlist::BoosterTable table);
    // Marks the row whose name the user edits or writes.
    void setChange(int row);

    // The captions and type texts in the active language.
    void retranslate();

private:
    qev::boosterlist::BoosterTable m_table;
};

class BoosterBus : public QObject {
    Q_OBJECT
public:
    explicit BoosterBus(PageHost &host, QObject *parent = nullptr);

    BoosterListModel &list() { return m_list; }
    // The fields of both settings pages; each page keeps its own fields here as they change.
    qev::boostergateway::Settings &settings() { return m_settings; }

    // Reads the booster list of the current device (the list request gives the success or
    // failure indication). The grid shows the result when the read ends, also when a
    // socket error ends it early.
    void readList(bool keepRows);
    // What showing the gateway page reads: the list, the gateway settings and the device
    // name. No indication but the list's.
    void readGateway();

Q_SIGNALS:
    void listReadStarted();
    void listCountKnown(int count);
    void listReadFinished();
    // settings() holds what the device reported.
    void settingsRead();
    // The device name read; empty when none came.
    void nameRead(const QString &name);

private:
    // Runs a read that fills the list: the grid shows the rows when the list is read.
    using ListRead = std::function<void(qev::boosterlist::BoosterTable &table,
                                        qev::booster::GatewayReadObserver observer)>;
    void runListRead(const ListRead &read);

    PageHost &m_host;
    BoosterListModel m_list;
    qev::boostergateway::Settings m_settings;
};
