#pragma once

// Where the Windows programs of the product line live on this PC. On Linux they run under
// Wine, so their drive C: is the folder drive_c of a Wine prefix: $WINEPREFIX when set,
// else ~/.wine. Without such a prefix nothing is installed, which is not an error.

#include <QString>
#include <QUuid>
#include <stdexcept>

namespace qev {

// The folder cannot be determined; what() is the message to show.
class KnownFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// {905E63B6-C1BF-494E-B29C-65B732D3D21A}, the program-files folder.
extern const QUuid FOLDERID_ProgramFiles;
// {7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}, the folder of the 32-bit programs on a 64-bit
// system ("Program Files (x86)"; a 32-bit prefix has none).
extern const QUuid FOLDERID_ProgramFilesX86;

// The Wine prefix in use (it need not exist). Raises KnownFolderError when WINEPREFIX is
// set but not an absolute path, which Wine itself refuses.
QString WinePrefix();

// The Linux path of a known folder; only the two program-files folders are known. Raises
// KnownFolderError for any other id or an unusable prefix.
QString KnownFolderPath(const QUuid &folderId);

// "C:\Spurnova" -> <prefix>/drive_c/Spurnova; another drive letter goes through the
// prefix's dosdevices links, as Wine resolves it. As in Wine, a name matches a folder entry
// whatever its case: "C:\Spurnova" finds drive_c/SPURNOVA. Any other text comes back
// unchanged.
QString LinuxPathOf(const QString &windowsPath);

// A folder found under the prefix as the Windows programs name it, with a trailing
// separator: <prefix>/drive_c/Program Files/Spurnova -> "C:\Program Files\Spurnova\".
// A folder outside drive_c keeps its Linux form (with a trailing "/").
QString WindowsFolderText(const QString &linuxFolder);

} // namespace qev
