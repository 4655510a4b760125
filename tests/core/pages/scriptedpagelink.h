#pragma once

// A link to one device whose socket plays a script: one request of a page, the reply bytes
// the row gives (or silence), and the bytes the page's reader is then handed.

#include "devicelink/devicelink.h"
#include "scriptedsocket.h"

#include <gtest/gtest.h>

namespace qevtest {

class ScriptedPageLink {
public:
    static constexpr quint16 DevicePort = 11082;

    explicit ScriptedPageLink(quint8 deviceClass)
        : link(qev::ProtocolPorts{}, qev::DeviceCodes::placeholders(), {}, script.factory()) {
        qev::CurrentDevice device;
        device.host = QStringLiteral("192.0.2.10");
        device.port = DevicePort;
        device.deviceClass = deviceClass;
        link.setCurrent(device);
    }

    // The request must be exactly requestHex, sent to the device's port; replyHex answers it
    // (nullptr: no answer). call makes the one exchange on the link; returns what it returns.
    template <class Call>
    auto run(const char *requestHex, const char *replyHex, Call call) {
        SocketScript &step = script.expect(requestHex, DevicePort, QStringLiteral("192.0.2.10"));
        if (replyHex)
            step.reply(replyHex);
        else
            step.silence();
        const auto result = call(link);
        EXPECT_TRUE(script.finished()) << qPrintable(script.report());
        EXPECT_EQ(script.receiveTimeouts(), QList<int>{2000});
        return result;
    }

    // The same for a request of a page: returns what was received.
    std::span<const quint8> exchange(const qev::DeviceLink::RequestBuilder &build,
                                     const char *requestHex, const char *replyHex) {
        return run(requestHex, replyHex, [&](qev::DeviceLink &l) { return l.Exchange(build); });
    }

    SocketScript script;
    qev::DeviceLink link;
};

// Names the test of a table row by the row's name.
struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row> &row) const {
        return row.param.name;
    }
};

} // namespace qevtest
