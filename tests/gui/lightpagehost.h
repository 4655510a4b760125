#pragma once

// A window for the light controllers' pages in tests: its link runs on the socket the test
// gives, and it counts every status indication (the pages must show none).

#include "devicelink/devicelink.h"
#include "pages/boosterbus.h"
#include "pages/pagehost.h"

#include <QCoreApplication>

class LightPageHost final : public PageHost {
public:
    explicit LightPageHost(qev::SocketFactory sockets, const qev::ProtocolPorts &ports = {})
        : m_link(
              ports, qev::DeviceCodes::placeholders(), [] { QCoreApplication::processEvents(); },
              std::move(sockets)) {}

    qev::DeviceLink &link() override { return m_link; }
    void showOutcome(bool) override { ++indications; }
    void showNoDevice() override { ++indications; }
    int deviceTypeItem() const override { return -1; }
    void setPageCaption(QWidget *, const QString &) override {}
    void setPageVisible(qev::Page, bool) override {}
    void clearStatus() override { ++indications; }
    void setWindowButtonsEnabled(bool) override {}
    bool confirm(const QString &, const QString &) override { return false; }
    BoosterBus &boosterBus() override { return m_bus; }

    int indications = 0;

private:
    qev::DeviceLink m_link;
    BoosterBus m_bus{*this};
};
