#pragma once

// The firmware commands of an emulated device: the access code unlocks it, blocks are
// stored and read back, the activation makes it restart (silent for a while, or for
// good), and fault modes make it misbehave at one block. What the device holds after an
// activation can be written to a file, so that a test sees exactly what arrived.

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace qev::devsim {

class SimDevice;

enum class FirmwareFaultKind {
    None,
    RefuseAccess, // answers the right access code with 3F F0
    DropAck,      // stores block k but does not acknowledge it
    CorruptRead,  // reads block k back with one byte changed
    AckRead,      // answers every block read with the two-byte acknowledgement
    NoRead,       // does not answer the read of block k
    NoReturn,     // never answers again after the activation
};

struct FirmwareConfig {
    FirmwareFaultKind fault = FirmwareFaultKind::None;
    int faultBlock = 0;   // DropAck, CorruptRead
    int restartMs = 1000; // silence after the activation
    QString flashFile;    // written at each activation; empty: none
};

// Parses the firmware keys of a device SPEC ("restart", "fwfault", "flash").
enum class FirmwareKey { NotMine, Taken, Bad };
FirmwareKey ParseFirmwareKey(const QString &key, const QString &value, FirmwareConfig &config);

// Help text lines for the SPEC keys.
extern const char *const FirmwareHelp;

class SimFirmware {
public:
    static constexpr int MaxBlocks = 255;
    static constexpr int BlockSize = 512;

    SimFirmware(FirmwareConfig config, QByteArray accessCode, QByteArray activationCode);

    // Registers F0 (with the access code), F2, F3 and F6 on the device.
    void install(SimDevice &device);

    bool unlocked() const { return m_unlocked; }
    int activations() const { return m_activations; }
    // Block k (1-255) as stored; 0xFF where nothing was written.
    QByteArray block(int k) const;
    // The blocks written since the last activation, from block 1 to the highest of them.
    QByteArray written() const;
    // What the last activation took: written() at that moment.
    const QByteArray &activated() const { return m_activated; }

private:
    void activate(SimDevice &device);

    FirmwareConfig m_config;
    QByteArray m_accessCode;
    QByteArray m_activationCode;
    QByteArray m_flash;
    int m_highestWritten = 0;
    bool m_unlocked = false;
    int m_activations = 0;
    QByteArray m_activated;
};

} // namespace qev::devsim
