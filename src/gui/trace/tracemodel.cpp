#include "trace/tracemodel.h"

#include "netinspect/ipv4.h"
#include "trace/commandnames.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

namespace {

constexpr int FetchIntervalMs = 250;

} // namespace

TraceModel::TraceModel(qev::DatagramTrace &trace, QObject *parent)
    : QAbstractTableModel(parent)
    , m_trace(trace)
    , m_timer(new QTimer(this)) {
    m_timer->setInterval(FetchIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &TraceModel::fetchNew);
    fetchNew();
}

void TraceModel::setLive(bool live) {
    if (live) {
        fetchNew();
        m_timer->start();
    } else {
        m_timer->stop();
    }
}

bool TraceModel::live() const {
    return m_timer->isActive();
}

void TraceModel::fetchNew() {
    std::vector<qev::TraceEntry> fresh = m_trace.entriesAfter(m_lastSequence);
    if (fresh.empty())
        return;
    m_lastSequence = fresh.back().sequence;
    // The model holds no more than the ring: the oldest rows go first.
    const std::size_t capacity = m_trace.capacity();
    if (fresh.size() > capacity)
        fresh.erase(fresh.begin(), fresh.end() - qsizetype(capacity));
    const std::size_t overflow =
        m_rows.size() + fresh.size() > capacity ? m_rows.size() + fresh.size() - capacity : 0;
    if (overflow > 0) {
        beginRemoveRows({}, 0, int(overflow) - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + qsizetype(overflow));
        endRemoveRows();
    }
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + fresh.size()) - 1);
    for (qev::TraceEntry &entry : fresh)
        m_rows.push_back(std::move(entry));
    endInsertRows();
}

int TraceModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TraceModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString TraceModel::text(const qev::TraceEntry &entry, int column) const {
    using Kind = qev::TraceEntry::Kind;
    switch (column) {
    case Time: {
        // Wall-clock time to the microsecond.
        const qint64 us = entry.timeUs + m_trace.wallClockOffsetUs();
        return QDateTime::fromMSecsSinceEpoch(us / 1000).toString(QStringLiteral("HH:mm:ss.zzz")) +
               QStringLiteral("%1").arg(us % 1000, 3, 10, QLatin1Char('0'));
    }
    case Direction:
        switch (entry.kind) {
        case Kind::Sent:
            return tr("gesendet");
        case Kind::Received:
            return tr("empfangen");
        case Kind::TimedOut:
            return tr("Zeitüberschreitung");
        case Kind::ClosedPort:
            return tr("Port geschlossen");
        case Kind::Failed:
            return tr("nicht gesendet");
        }
        return {};
    case Device:
        return qev::BytesToIP(entry.remote.address);
    case Port:
        return QString::number(entry.remote.port) +
               (entry.transport == qev::TraceEntry::Transport::Tcp ? QStringLiteral(" TCP")
                                                                   : QString());
    case Length:
        return QString::number(entry.bytes.size());
    case Command:
        return QCoreApplication::translate(qev::CommandNameContext, entry.command);
    case Bytes:
        return QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
    default:
        return {};
    }
}

QString TraceModel::copyLine(int row) const {
    const qev::TraceEntry &e = entry(row);
    return QStringList{text(e, Time), text(e, Direction), qev::EndpointText(e.remote),
                       text(e, Bytes)}
        .join(QLatin1Char('\t'));
}

QVariant TraceModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return text(entry(index.row()), index.column());
    if (role == Qt::TextAlignmentRole && (index.column() == Length || index.column() == Port))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TraceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Time:
        return tr("Zeit");
    case Direction:
        return tr("Richtung");
    case Device:
        return tr("Gerät");
    case Port:
        return tr("Port");
    case Length:
        return tr("Länge");
    case Command:
        return tr("Befehl");
    case Bytes:
        return tr("Bytes");
    default:
        return {};
    }
}
