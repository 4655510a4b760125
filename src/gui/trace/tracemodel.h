#pragma once

// The rows of the datagram trace for a table view: time, direction, device, port, length,
// command and bytes, fetched from the trace while the model is live.

#include "trace/datagramtrace.h"

#include <QAbstractTableModel>
#include <deque>

class QTimer;

class TraceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Direction, Device, Port, Length, Command, Bytes, ColumnCount };

    TraceModel(qev::DatagramTrace &trace, QObject *parent = nullptr);

    // Live: the model takes new entries every few hundred milliseconds. Paused, it keeps
    // what it shows.
    void setLive(bool live);
    bool live() const;
    // Takes the entries recorded since the last fetch now.
    void fetchNew();

    const qev::TraceEntry &entry(int row) const { return m_rows[std::size_t(row)]; }
    // One line of text for the clipboard: time, direction, address:port, bytes.
    QString copyLine(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const qev::TraceEntry &entry, int column) const;

    qev::DatagramTrace &m_trace;
    std::deque<qev::TraceEntry> m_rows;
    quint64 m_lastSequence = 0;
    QTimer *m_timer;
};
