#pragma once

// The version resource of a Windows program file, read here without the operating system:
// DOS header -> PE header -> section table -> resource directory -> RT_VERSION ->
// VS_VERSIONINFO -> VarFileInfo\Translation -> StringFileInfo. Every read is bounded by the
// bytes the file holds; a truncated or corrupt file gives empty values.

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace qev {

// The twelve standard keys of a string table, in this order.
inline constexpr std::array<const char16_t *, 12> VersionKeys = {
    u"Comments",     u"CompanyName",    u"FileDescription", u"FileVersion",
    u"InternalName", u"LegalCopyright", u"LegalTrademarks", u"OriginalFilename",
    u"PrivateBuild", u"ProductName",    u"ProductVersion",  u"SpecialBuild"};

struct TFileVersionInfo {
    QString typeName; // the file's type as the desktop describes it
    // Indexed like VersionKeys; empty when the key is absent.
    std::array<QString, VersionKeys.size()> values;

    QString value(QStringView key) const;
    QString fileVersion() const { return value(u"FileVersion"); }
};

// Reads length bytes at offset; fewer (or none) where the file ends.
using ReadAt = std::function<QByteArray(quint64 offset, quint32 length)>;

// The string values of the version resource of the PE image that read gives access to,
// taken from the string table named by the first translation entry. All empty when any
// step finds nothing.
std::array<QString, VersionKeys.size()> ReadVersionStrings(const ReadAt &read);
// The same for an image in memory.
std::array<QString, VersionKeys.size()> ReadVersionStrings(QByteArrayView image);

// The type name of the file, and its version strings when it is a Windows executable or
// force is set.
TFileVersionInfo ReadFileVersionInfo(const QString &path, bool force);

// "2.17.0.287" -> "2.17.287": the first, second and fourth part of FileVersion. Empty when
// FileVersion has fewer than four parts or cannot be read.
QString FileVersionText(const QString &path);
QString VersionTextOf(const QString &fileVersion);

// The date of the file's last change (local time) in the system's short date format;
// empty when there is no such file.
QString FileDateText(const QString &path);

} // namespace qev
