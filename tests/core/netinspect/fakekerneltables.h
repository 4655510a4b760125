#pragma once

// Kernel tables and system files for tests: whatever the test puts in them, nothing is
// read from the machine. While they live they are the ones the code under test uses.

#include "netinspect/kerneltables.h"
#include "netinspect/systemfiles.h"

#include <QHash>
#include <QList>
#include <QMap>

namespace qevtest {

class FakeKernelTables final : public qev::KernelTables {
public:
    FakeKernelTables() { qev::setKernelTables(this); }
    ~FakeKernelTables() override { qev::setKernelTables(nullptr); }
    FakeKernelTables(const FakeKernelTables &) = delete;
    FakeKernelTables &operator=(const FakeKernelTables &) = delete;

    QList<qev::KernelLink> linkRows;
    QList<qev::KernelAddress> addressRows;
    QList<qev::KernelGateway> gatewayRows;
    QList<qev::KernelNeighbour> neighbourRows;
    // errno values the queries fail with; 0 lets them succeed.
    int linksError = 0;
    int addressesError = 0;
    int gatewaysError = 0;
    int neighboursError = 0;
    // Result of a flush per interface index (0 when not listed).
    QHash<int, int> flushResults;
    QList<int> flushCalls;

    qev::KernelLink &addLink(int index, const QString &name, const QByteArray &mac = {},
                             unsigned arpType = 1 /* ARPHRD_ETHER */) {
        qev::KernelLink link;
        link.index = index;
        link.name = name;
        link.hardwareAddress = mac;
        link.arpType = arpType;
        linkRows << link;
        return linkRows.last();
    }
    void addAddress(int index, const QString &address, int prefixLength, bool dynamic = false) {
        addressRows << qev::KernelAddress{index, address, prefixLength, dynamic};
    }
    void addNeighbour(int index, const QString &address, const QByteArray &mac,
                      qev::NeighbourState state) {
        neighbourRows << qev::KernelNeighbour{index, address, mac, state};
    }

    int links(QList<qev::KernelLink> &out) override { return fill(out, linkRows, linksError); }
    int addresses(QList<qev::KernelAddress> &out) override {
        return fill(out, addressRows, addressesError);
    }
    int defaultGateways(QList<qev::KernelGateway> &out) override {
        return fill(out, gatewayRows, gatewaysError);
    }
    int neighbours(QList<qev::KernelNeighbour> &out) override {
        return fill(out, neighbourRows, neighboursError);
    }
    int flushNeighbours(int index) override {
        flushCalls << index;
        return flushResults.value(index, 0);
    }

private:
    template <typename Row>
    static int fill(QList<Row> &out, const QList<Row> &rows, int error) {
        out.clear();
        if (error == 0)
            out = rows;
        return error;
    }
};

class FakeSystemFiles final : public qev::SystemFiles {
public:
    FakeSystemFiles() { qev::setSystemFiles(this); }
    ~FakeSystemFiles() override { qev::setSystemFiles(nullptr); }
    FakeSystemFiles(const FakeSystemFiles &) = delete;
    FakeSystemFiles &operator=(const FakeSystemFiles &) = delete;

    // Path to content; folders are listed from the paths in it, in insertion order.
    QMap<QString, QByteArray> files;
    QStringList order;

    void put(const QString &path, const QByteArray &content) {
        files.insert(path, content);
        order.removeAll(path);
        order.prepend(path); // the newest first
    }

    bool read(const QString &path, QByteArray &content) override {
        if (!files.contains(path))
            return false;
        content = files.value(path);
        return true;
    }
    QStringList fileNames(const QString &folder) override {
        QStringList names;
        const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + u'/';
        for (const QString &path : std::as_const(order)) {
            if (path.startsWith(prefix) && !path.mid(prefix.size()).contains(QLatin1Char('/')))
                names << path.mid(prefix.size());
        }
        return names;
    }
};

} // namespace qevtest
