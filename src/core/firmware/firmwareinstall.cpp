#include "firmware/firmwareinstall.h"

#include "devicelink/deviceclasses.h"

#include "app/messageid.h"
#include "devicelink/devicelink.h"
#include "devicelink/discovery.h"
#include "netinspect/ipv4.h"

#include <QElapsedTimer>
#include <algorithm>

namespace qev {

namespace {

constexpr int RestartProgressMaximum = 18;
constexpr std::size_t ShortReplyLimit = 4;

} // namespace

bool IsTwoByteAck(std::span<const quint8> reply) {
    return reply.size() == 2 && reply[0] == proto::Ack;
}

BlockReadVerdict ReadBlockReply(std::span<const quint8> reply, QByteArrayView expected) {
    if (reply.size() > ShortReplyLimit) {
        const std::size_t end = fwproto::BlockReplyDataOffset + std::size_t(expected.size());
        if (reply.size() < end)
            return BlockReadVerdict::Differs;
        const bool same = std::equal(expected.begin(), expected.end(),
                                     reply.begin() + fwproto::BlockReplyDataOffset,
                                     [](char e, quint8 r) { return quint8(e) == r; });
        return same ? BlockReadVerdict::Equal : BlockReadVerdict::Differs;
    }
    if (!reply.empty() && reply[0] == proto::Ack)
        return BlockReadVerdict::Acknowledged;
    return BlockReadVerdict::Error;
}

int RestartCycles(quint8 currentClass) {
    return ClassInfo(currentClass).restartCycles;
}

InstallResult ConcludeInstall(InstallOutcome outcome, int block) {
    InstallResult r;
    r.outcome = outcome;
    r.block = block;
    const auto transferError = [&](const char *what) {
        r.failed = true;
        r.errorLabel = ErrorLabel::TransferError;
        r.errorSuffix = QString::fromLatin1(what) + QString::number(block);
        r.beep = true;
    };
    switch (outcome) {
    case InstallOutcome::Finished:
        r.clearFileField = true;
        break;
    case InstallOutcome::FileMissing:
        break;
    case InstallOutcome::AccessRefused:
        // The device would not let the image in: it makes no sense to press again, and
        // the user needs to know why nothing happens.
        r.installEnabled = false;
        r.errorLabel = ErrorLabel::AccessRefused;
        break;
    case InstallOutcome::FileUnusable:
    case InstallOutcome::ImageCorrupt:
        r.failed = true;
        r.errorLabel = ErrorLabel::FileCorrupt;
        r.beep = true;
        break;
    case InstallOutcome::BlockWriteFailed:
        transferError(": Block Write: ");
        break;
    case InstallOutcome::BlockReadDiffers:
        transferError(": Block Read: ");
        break;
    case InstallOutcome::BlockError:
        transferError(": Block Error: ");
        break;
    case InstallOutcome::NoComeback:
        r.failed = true;
        r.clearFileField = true;
        r.errorLabel = ErrorLabel::NoComeback;
        r.failureIndication = true;
        break;
    case InstallOutcome::LinkFailed:
        r.failed = true;
        break;
    }
    return r;
}

FirmwareInstaller::FirmwareInstaller(DeviceLink &link, QByteArray activationCode,
                                     InstallTiming timing)
    : m_link(link)
    , m_activationCode(std::move(activationCode))
    , m_timing(timing) {}

InstallResult FirmwareInstaller::install(const QString &path, const InstallObserver &observer) {
    m_observer = &observer;
    int failedBlock = 0;
    InstallResult result;
    try {
        const InstallOutcome outcome = run(path, failedBlock);
        result = ConcludeInstall(outcome, failedBlock);
    } catch (const LinkError &error) {
        result = ConcludeInstall(InstallOutcome::LinkFailed);
        result.linkError = QString::fromLocal8Bit(error.what());
    }
    m_observer = nullptr;
    return result;
}

InstallOutcome FirmwareInstaller::run(const QString &path, int &failedBlock) {
    const quint8 deviceClass = m_link.current().deviceClass;
    const int blockCount = BlockCountOfClass(deviceClass);
    const quint16 basePort = m_link.ports().base;
    m_progress.reset(blockCount);
    showProgress();

    // The whole image is read once, before anything is sent: the blocks written and
    // compared are the blocks whose digest was checked.
    const ImageReadResult read = ReadImageFile(path, blockCount);
    switch (read.status) {
    case ImageReadStatus::Ok:
        break;
    case ImageReadStatus::Missing:
        return InstallOutcome::FileMissing;
    case ImageReadStatus::NotAFile:
    case ImageReadStatus::Unreadable:
    case ImageReadStatus::ShortHeader:
        return InstallOutcome::FileUnusable;
    }
    const FirmwareImage &image = *read.image;

    m_link.SendAccessCode(deviceClass);
    std::size_t count = m_link.ReceiveReply(m_timing.accessReplyMs);
    if (!IsTwoByteAck(std::span(m_link.CommandBuffer).first(count)))
        return InstallOutcome::AccessRefused;

    if (!DigestMatches(image))
        return InstallOutcome::ImageCorrupt;

    showPhase(IDS_119);
    pump();
    for (int k = 1; k <= blockCount; ++k) {
        const QByteArrayView block = image.block(k);
        m_progress.step();
        showProgress();
        showCounter(k, blockCount);
        pump();
        m_link.ClearCommandBuffer();
        m_link.CommandBuffer[0] = fwproto::BlockWrite;
        m_link.CommandBuffer[1] = quint8(k);
        std::copy(block.begin(), block.end(), m_link.CommandBuffer.begin() + 2);
        m_link.SendCommand(fwproto::BlockWriteLength, basePort);
        count = awaitBlockReply();
        if (!IsTwoByteAck(std::span(m_link.CommandBuffer).first(count))) {
            failedBlock = k;
            return InstallOutcome::BlockWriteFailed;
        }
    }

    showPhase(IDS_120);
    pump();
    for (int k = 1; k <= blockCount; ++k) {
        m_progress.step();
        showProgress();
        showCounter(k, blockCount);
        pump();
        m_link.ClearCommandBuffer();
        m_link.CommandBuffer[0] = fwproto::BlockRead;
        m_link.CommandBuffer[1] = quint8(k);
        m_link.SendCommand(fwproto::BlockReadLength, basePort);
        count = awaitBlockReply();
        switch (ReadBlockReply(std::span(m_link.CommandBuffer).first(count), image.block(k))) {
        case BlockReadVerdict::Equal:
        case BlockReadVerdict::Acknowledged:
            break;
        case BlockReadVerdict::Differs:
            failedBlock = k;
            return InstallOutcome::BlockReadDiffers;
        case BlockReadVerdict::Error:
            failedBlock = k;
            return InstallOutcome::BlockError;
        }
    }

    m_progress.reset(RestartProgressMaximum);
    showProgress();
    showPhase(IDS_121);
    showCounter(0, blockCount);
    pump();
    m_link.SendAccessCode(deviceClass);
    m_link.WaitWithMessages(m_timing.activationSettleMs);
    m_link.ReceiveReply(m_timing.activationDrainMs);
    m_link.ClearCommandBuffer();
    m_link.CommandBuffer[0] = proto::Activate;
    std::copy_n(m_activationCode.constData(), std::min<qsizetype>(2, m_activationCode.size()),
                m_link.CommandBuffer.begin() + 1);
    m_link.SendCommand(fwproto::ActivateLength, basePort);
    m_link.ReceiveReply(m_timing.activationReplyMs);

    const bool back = waitForRestart();
    showPhase(IDS_123);
    pump();
    return back ? InstallOutcome::Finished : InstallOutcome::NoComeback;
}

std::size_t FirmwareInstaller::awaitBlockReply() {
    QElapsedTimer sinceSend;
    sinceSend.start();
    std::size_t count = m_link.ReceiveReply(m_timing.blockReplyMs);
    if (count == 0 && sinceSend.elapsed() <= m_timing.blockRetryWindowMs)
        count = m_link.ReceiveReply(m_timing.blockReplyMs);
    return count;
}

bool FirmwareInstaller::waitForRestart() {
    const QString host = m_link.current().host;
    const int cycles = RestartCycles(m_link.current().deviceClass);
    bool answered = false;
    for (int cycle = 0; cycle < cycles && !answered; ++cycle) {
        m_progress.step();
        showProgress();
        QElapsedTimer clock;
        clock.start();
        while (!answered && clock.elapsed() <= m_timing.restartCycleMs) {
            YieldSlice();
            pump();
            answered = PingWhilePumping(host, m_timing.pingTimeoutMs, m_observer->pump);
        }
    }
    if (!answered)
        answered = ProbeDevice(host, m_timing.probeTimeoutMs, m_link.ports(), m_observer->pump);
    return answered;
}

void FirmwareInstaller::showPhase(int messageId) {
    if (m_observer->phase)
        m_observer->phase(messageId);
}

void FirmwareInstaller::showCounter(int block, int blockCount) {
    if (m_observer->counter)
        m_observer->counter(block, blockCount);
}

void FirmwareInstaller::showProgress() {
    if (m_observer->progress)
        m_observer->progress(m_progress.position(), m_progress.maximum());
}

void FirmwareInstaller::pump() {
    if (m_observer->pump)
        m_observer->pump();
}

} // namespace qev
