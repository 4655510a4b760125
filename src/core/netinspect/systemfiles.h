#pragma once

// The files in which the system's network services keep what they learnt (DHCP leases,
// DNS servers of a link), behind an interface so that tests can supply their own.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qev {

class SystemFiles {
public:
    // Reads stop here; a lease file that grew beyond it is read up to this size.
    static constexpr qint64 MaxFileBytes = 1 << 20;

    virtual ~SystemFiles() = default;

    // The content of a file, at most MaxFileBytes; false when it cannot be read.
    virtual bool read(const QString &path, QByteArray &content) = 0;
    // Names of the files in a folder, the newest first; empty when it cannot be read.
    virtual QStringList fileNames(const QString &folder) = 0;
};

// The implementation in use: the real file system unless a test installed another.
SystemFiles &systemFiles();

// Installs an implementation (not owned); nullptr restores the real file system.
void setSystemFiles(SystemFiles *replacement);

} // namespace qev
