#pragma once

// A window for pages in tests: its link runs on the socket the test gives; it records the
// indications and questions the pages show and the captions they set, and offers the
// device-type item and the answer the test chooses.

#include "devicelink/devicelink.h"
#include "pages/boosterbus.h"
#include "pages/pagehost.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>

class FakePageHost : public PageHost {
public:
    explicit FakePageHost(qev::SocketFactory sockets, const qev::ProtocolPorts &ports = {},
                          const qev::DeviceCodes &codes = qev::DeviceCodes::placeholders())
        : m_link(
              ports, codes, [] { QCoreApplication::processEvents(); }, std::move(sockets)) {}
    virtual ~FakePageHost() = default;

    // Where the pages' requests go.
    void use(const QString &host, quint16 port, quint8 deviceClass) {
        m_link.setCurrent({.host = host, .port = port, .deviceClass = deviceClass});
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
    bool confirm(const QString &caption, const QString &text) override {
        questions << caption + QLatin1Char('|') + text;
        return answer;
    }
    BoosterBus &boosterBus() override { return m_bus; }

    QStringList outcomes; // "ok", "fail", "nodevice", "clear"
    QHash<QWidget *, QString> captions;
    QStringList questions;
    int typeItem = -1;
    bool answer = false;

private:
    qev::DeviceLink m_link;
    BoosterBus m_bus{*this};
};
