#pragma once

// A window for the speed meter, S88 bus master, manager, container and extender pages in
// tests: its link runs on the socket the test gives; it records the indications, the
// captions the pages set, and offers the device-type item the test chooses.

#include "devicelink/devicelink.h"
#include "pages/boosterbus.h"
#include "pages/pagehost.h"

#include <QHash>
#include <QStringList>

class SettingsPageHost final : public PageHost {
public:
    explicit SettingsPageHost(qev::SocketFactory sockets, const qev::ProtocolPorts &ports = {})
        : m_link(ports, qev::DeviceCodes::placeholders(), {}, std::move(sockets)) {}

    // Where the pages' requests go.
    void use(const QString &host, quint16 port, quint8 deviceClass) {
        qev::CurrentDevice device;
        device.host = host;
        device.port = port;
        device.deviceClass = deviceClass;
        m_link.setCurrent(device);
    }

    qev::DeviceLink &link() override { return m_link; }
    void showOutcome(bool accepted) override {
        outcomes << QString::fromLatin1(accepted ? "ok" : "fail");
    }
    void showNoDevice() override { outcomes << QStringLiteral("nodevice"); }
    int deviceTypeItem() const override { return typeItem; }
    void setPageCaption(QWidget *page, const QString &caption) override {
        captions[page] = caption;
    }
    void setPageVisible(qev::Page, bool) override {}
    void clearStatus() override { outcomes << QStringLiteral("clear"); }
    void setWindowButtonsEnabled(bool) override {}
    bool confirm(const QString &, const QString &) override { return false; }
    BoosterBus &boosterBus() override { return m_bus; }

    QStringList outcomes;
    QHash<QWidget *, QString> captions;
    int typeItem = -1;

private:
    qev::DeviceLink m_link;
    BoosterBus m_bus{*this};
};
