#pragma once

// The ground every flow test stands on: a link on a scripted socket, a fake host network
// with the PC at 192.168.0.10, fake kernel tables, and a progress that records what a flow
// told.

#include "devicelink/devicelink.h"
#include "fakehostnetwork.h"
#include "fakekerneltables.h"
#include "flows/search.h"
#include "scriptedsocket.h"

#include <QList>
#include <gtest/gtest.h>

namespace qevtest {

struct ProgressStep {
    int step = 0;
    int percent = 0;
    int messageId = 0;
    bool operator==(const ProgressStep &) const = default;
};

class RecordedProgress final : public qev::flow::IdentifyProgress {
public:
    void progress(int step, int percent, int messageId) override {
        steps.append({step, percent, messageId});
    }
    void found(const qev::DeviceRecord &device, const qev::FoundPresentation &shown) override {
        foundDevices.append(device);
        presentations.append(shown);
    }

    QList<ProgressStep> steps;
    QList<qev::DeviceRecord> foundDevices;
    QList<qev::FoundPresentation> presentations;
};

class FlowTest : public ::testing::Test {
protected:
    qev::DeviceLink &link() {
        if (!m_link)
            m_link = std::make_unique<qev::DeviceLink>(qev::ProtocolPorts{},
                                                       qev::DeviceCodes::placeholders(),
                                                       qev::EventPump{}, script.factory());
        return *m_link;
    }
    qev::flow::SearchOptions searchOptions() const {
        // The collection needs no four seconds where the answers are scripted.
        return {QStringLiteral("192.168.0.10"), {}, {}, 50};
    }

    FakeHostNetwork host;
    FakeKernelTables kernel;
    SocketScript script;
    RecordedProgress progress;

private:
    std::unique_ptr<qev::DeviceLink> m_link;
};

} // namespace qevtest
