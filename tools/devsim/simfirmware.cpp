#include "simfirmware.h"

#include "devicelink/protocol.h"
#include "simdevice.h"
#include "simtext.h"

#include <QFile>

namespace qev::devsim {

namespace {

constexpr quint8 BlockRead = 0xF2;
constexpr quint8 BlockWrite = 0xF3;
constexpr int CorruptOffset = 100;

} // namespace

const char *const FirmwareHelp =
    R"(  restart=MS     after a firmware activation the device is silent for MS ms
                 (default 1000), then answers again.
  fwfault=F      refuse        answers the right access code with 3F F0
                 dropack:K     stores block K but does not acknowledge it
                 corrupt:K     reads block K back with one byte changed
                 ackread       answers every block read with 21 F2
                 noread:K      does not answer the read of block K
                 noreturn      never answers again after the activation
  flash=FILE     at each activation writes the blocks written since the previous
                 one (block 1 to the highest; 0xFF where none came) to FILE.
)";

FirmwareKey ParseFirmwareKey(const QString &key, const QString &value, FirmwareConfig &config) {
    if (key == QLatin1String("restart")) {
        const auto ms = ParseNumber(value, 0, 600000);
        if (!ms)
            return FirmwareKey::Bad;
        config.restartMs = *ms;
        return FirmwareKey::Taken;
    }
    if (key == QLatin1String("flash")) {
        if (value.isEmpty())
            return FirmwareKey::Bad;
        config.flashFile = value;
        return FirmwareKey::Taken;
    }
    if (key != QLatin1String("fwfault"))
        return FirmwareKey::NotMine;
    const qsizetype colon = value.indexOf(QLatin1Char(':'));
    const QString kind = value.left(colon);
    const std::optional<int> block =
        colon < 0 ? std::nullopt : ParseNumber(value.mid(colon + 1), 1, SimFirmware::MaxBlocks);
    if (kind == QLatin1String("refuse") && colon < 0)
        config.fault = FirmwareFaultKind::RefuseAccess;
    else if (kind == QLatin1String("ackread") && colon < 0)
        config.fault = FirmwareFaultKind::AckRead;
    else if (kind == QLatin1String("noreturn") && colon < 0)
        config.fault = FirmwareFaultKind::NoReturn;
    else if (kind == QLatin1String("dropack") && block)
        config.fault = FirmwareFaultKind::DropAck;
    else if (kind == QLatin1String("corrupt") && block)
        config.fault = FirmwareFaultKind::CorruptRead;
    else if (kind == QLatin1String("noread") && block)
        config.fault = FirmwareFaultKind::NoRead;
    else
        return FirmwareKey::Bad;
    config.faultBlock = block.value_or(0);
    return FirmwareKey::Taken;
}

SimFirmware::SimFirmware(FirmwareConfig config, QByteArray accessCode, QByteArray activationCode)
    : m_config(std::move(config))
    , m_accessCode(std::move(accessCode))
    , m_activationCode(std::move(activationCode))
    , m_flash(MaxBlocks * BlockSize, char(0xFF)) {}

QByteArray SimFirmware::block(int k) const {
    return m_flash.mid(qsizetype(k - 1) * BlockSize, BlockSize);
}

QByteArray SimFirmware::written() const {
    return m_flash.first(qsizetype(m_highestWritten) * BlockSize);
}

void SimFirmware::install(SimDevice &device) {
    using namespace qev::proto;
    // The right code is a longer prefix than the bare F0 of the device's own handler,
    // which answers nothing to a wrong one.
    const QByteArray accessRequest = Bytes({AccessCode}) + m_accessCode;
    device.addCommand(accessRequest, [this, accessRequest](QByteArrayView request, Response &r) {
        if (request.size() != accessRequest.size())
            return;
        if (m_config.fault == FirmwareFaultKind::RefuseAccess) {
            r.reply = Bytes({0x3F, AccessCode});
            return;
        }
        m_unlocked = true;
        r.reply = Bytes({Ack, AccessCode});
    });

    device.addCommand(Bytes({BlockWrite}), [this](QByteArrayView request, Response &r) {
        const int k = request.size() == 2 + BlockSize ? quint8(request[1]) : 0;
        if (!m_unlocked || k < 1 || k > MaxBlocks)
            return;
        m_flash.replace(qsizetype(k - 1) * BlockSize, BlockSize, request.sliced(2).toByteArray());
        m_highestWritten = std::max(m_highestWritten, k);
        if (m_config.fault == FirmwareFaultKind::DropAck && k == m_config.faultBlock)
            return;
        r.reply = Bytes({Ack, BlockWrite});
    });

    device.addCommand(Bytes({BlockRead}), [this](QByteArrayView request, Response &r) {
        const int k = request.size() == 2 ? quint8(request[1]) : 0;
        if (!m_unlocked || k < 1 || k > MaxBlocks)
            return;
        if (m_config.fault == FirmwareFaultKind::NoRead && k == m_config.faultBlock)
            return;
        if (m_config.fault == FirmwareFaultKind::AckRead) {
            r.reply = Bytes({Ack, BlockRead});
            return;
        }
        r.reply = Bytes({Ack, BlockRead, quint8(k)}) + block(k);
        if (m_config.fault == FirmwareFaultKind::CorruptRead && k == m_config.faultBlock)
            r.reply[3 + CorruptOffset] = char(~quint8(r.reply[3 + CorruptOffset]));
    });

    device.addCommand(Bytes({Activate}), [this, &device](QByteArrayView request, Response &r) {
        if (!m_unlocked || request != Bytes({Activate}) + m_activationCode)
            return;
        r.reply = Bytes({Ack, Activate});
        activate(device);
    });
}

void SimFirmware::activate(SimDevice &device) {
    m_activated = written();
    ++m_activations;
    if (!m_config.flashFile.isEmpty()) {
        QFile file(m_config.flashFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(m_activated);
    }
    m_highestWritten = 0;
    m_unlocked = false;
    device.restartFor(m_config.fault == FirmwareFaultKind::NoReturn ? -1 : m_config.restartMs);
}

} // namespace qev::devsim
