#pragma once

// Installing a firmware image into the current device over the DeviceLink: access code,
// digest check, every block written and acknowledged, every block read back and
// compared, activation, and the wait for the device to come back after its restart.
// Runs on the caller's thread; the observer's pump keeps the window responsive.

#include "devicelink/eventpump.h"
#include "firmware/firmwareimage.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <functional>
#include <span>

namespace qev {

class DeviceLink;

namespace fwproto {
inline constexpr quint8 BlockWrite = 0xF3;
inline constexpr quint8 BlockRead = 0xF2;
inline constexpr std::size_t BlockWriteLength = 2 + 512;
inline constexpr std::size_t BlockReadLength = 2;
inline constexpr std::size_t ActivateLength = 3;
// A block read answered with data: three leading bytes, then the block.
inline constexpr std::size_t BlockReplyDataOffset = 3;
} // namespace fwproto

// The access code and a block write are acknowledged by exactly 2 bytes led by 21.
bool IsTwoByteAck(std::span<const quint8> reply);

enum class BlockReadVerdict {
    Equal,        // the device holds the block as in the file
    Differs,      // data came back (more than 4 bytes) and does not match, or is too short
    Acknowledged, // at most 4 bytes led by 21: passes unverified
    Error,        // at most 4 bytes otherwise, nothing at all included
};

// reply holds exactly the bytes received.
BlockReadVerdict ReadBlockReply(std::span<const quint8> reply, QByteArrayView expected);

// Steps like the progress bar of the page: one up per step, back to the start once the
// maximum is passed.
class ProgressSteps {
public:
    void reset(int maximum) {
        m_maximum = maximum;
        m_position = 0;
    }
    void step() { m_position = m_position + 1 > m_maximum ? 0 : m_position + 1; }
    int position() const { return m_position; }
    int maximum() const { return m_maximum; }

private:
    int m_position = 0;
    int m_maximum = 0;
};

// Restart-wait cycles the device gets after activation.
int RestartCycles(quint8 currentClass);

enum class InstallOutcome {
    Finished,         // the device answered again after its restart
    FileMissing,      // nothing sent
    FileUnusable,     // a folder, unreadable, or no whole header: nothing sent
    AccessRefused,    // access code refused or unanswered
    ImageCorrupt,     // digest differs: nothing written
    BlockWriteFailed, // block not acknowledged
    BlockReadDiffers, // read-back differs
    BlockError,       // read answered with neither data nor an acknowledgement
    NoComeback,       // the device did not answer after activation
    LinkFailed,       // the link raised an error
};

// Which of the page's error labels an outcome shows.
enum class ErrorLabel {
    None,
    FileCorrupt,   // Label34
    TransferError, // Label35, its caption followed by the suffix
    NoComeback,    // the device did not answer after its restart
    AccessRefused, // the device refused the access code
};

struct InstallResult {
    InstallOutcome outcome = InstallOutcome::FileMissing;
    int block = 0;     // the block of a block failure
    QString linkError; // LinkFailed: what the link reported

    // What the page shows afterwards.
    bool failed = false;        // "Status:" and the phase text are hidden
    bool installEnabled = true; // btnInstallFirmware
    ErrorLabel errorLabel = ErrorLabel::None;
    QString errorSuffix;            // ": Block Write: 12" and the like
    bool beep = false;              // the information sound
    bool clearFileField = false;    // dxButtonEdit1 is emptied
    bool failureIndication = false; // the window's failure indication (LED and status)
};

// The end state of an outcome (block: the failing block, when one failed).
InstallResult ConcludeInstall(InstallOutcome outcome, int block = 0);

// What the page is told while the installation runs.
struct InstallObserver {
    std::function<void(int messageId)> phase;                // Label32
    std::function<void(int block, int blockCount)> counter;  // Label33; block 0: empty
    std::function<void(int position, int maximum)> progress; // ProgressBar1
    EventPump pump;                                          // processes window messages
};

// The waits of the installation. Tests shorten them; the program keeps these.
struct InstallTiming {
    int accessReplyMs = 2000;
    int blockReplyMs = 5000;
    int blockRetryWindowMs = 2500; // a second receive only when the first ended this early
    quint16 activationSettleMs = 50;
    int activationDrainMs = 10;
    int activationReplyMs = 2000;
    int restartCycleMs = 500;
    int pingTimeoutMs = 400;
    int probeTimeoutMs = 400;
};

class FirmwareInstaller {
public:
    // activationCode: the two letters behind the activate command.
    FirmwareInstaller(DeviceLink &link, QByteArray activationCode, InstallTiming timing = {});

    // Installs the image at path into the link's current device. Link errors are caught and end the
    // installation.
    InstallResult install(const QString &path, const InstallObserver &observer);

private:
    InstallOutcome run(const QString &path, int &failedBlock);
    std::size_t awaitBlockReply();
    void showPhase(int messageId);
    void showCounter(int block, int blockCount);
    void showProgress();
    void pump();
    bool waitForRestart();

    DeviceLink &m_link;
    QByteArray m_activationCode;
    InstallTiming m_timing;
    const InstallObserver *m_observer = nullptr;
    ProgressSteps m_progress;
};

} // namespace qev
