#pragma once

// Firmware image files ("*.snFirm"): a 32-byte header, then the payload in 512-byte
// blocks. The block count is not in the file; it follows from the device class. The
// header carries the MD5 digest of a fixed 131072-byte area that holds the payload from
// its start and zero bytes behind it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace qev {

namespace image {
inline constexpr qsizetype HeaderSize = 32;
inline constexpr qsizetype BlockSize = 512;
inline constexpr qsizetype DigestOffset = 16;
inline constexpr qsizetype DigestSize = 16;
inline constexpr qsizetype DigestAreaSize = 131072;
inline constexpr int LargeBlockCount = 255;
inline constexpr int SmallBlockCount = 64;
// What the header labels show: class tag, date and version text.
inline constexpr qsizetype ShownHeaderSize = 16;
} // namespace image

// Blocks an image for a device of this class has: 255 for classes 17, 22, 23, 24 and 27,
// 64 for every other.
int BlockCountOfClass(quint8 currentClass);

// Whether an image carrying classTag may go into a device of currentClass. A Booster-GW
// (27) takes the images tagged 26, class 34 takes any, classes not listed take none.
bool ImageTagFitsClass(quint8 currentClass, quint8 classTag);

// What the page shows of a header: the version text, the date as "dd.mm.20yy" and the
// class tag. Nothing when fewer than 16 bytes are given.
struct ImageHeaderText {
    quint8 classTag = 0;
    QString version;
    QString date;
};
std::optional<ImageHeaderText> ReadImageHeaderText(QByteArrayView bytes);

// Reads the first 16 bytes of a file for the header labels; nothing when the file cannot
// be read as a regular file or is shorter.
std::optional<ImageHeaderText> ReadImageHeaderFile(const QString &path);

// false when the path is no readable regular file; otherwise the class tag in byte 0
// against the suitability table.
bool ImageFitsDevice(const QString &path, quint8 currentClass);

// The header and N blocks of an image as far as the file holds them; the blocks the file
// lacks are zero, as the digest area expects.
struct FirmwareImage {
    QByteArray header;  // HeaderSize bytes
    QByteArray payload; // blockCount * BlockSize bytes
    int blockCount = 0;

    quint8 classTag() const { return quint8(header.at(0)); }
    QByteArrayView storedDigest() const;
    // Block k, 1-based.
    QByteArrayView block(int k) const;
};

// Builds an image from the bytes read from a file. Nothing when the bytes do not hold a
// whole header. Bytes beyond the header and blockCount blocks are ignored; blockCount
// is clamped to 1..255.
std::optional<FirmwareImage> ParseImage(QByteArrayView bytes, int blockCount);

enum class ImageReadStatus {
    Ok,
    Missing,     // no such file
    NotAFile,    // a folder, a device, a pipe
    Unreadable,  // cannot be opened or read
    ShortHeader, // fewer bytes than the header
};

struct ImageReadResult {
    ImageReadStatus status = ImageReadStatus::Missing;
    std::optional<FirmwareImage> image;
};

// Reads at most the header and blockCount blocks, whatever size the file has.
ImageReadResult ReadImageFile(const QString &path, int blockCount);

// The MD5 of the digest area for this payload (payload followed by zero bytes up to the
// area's size; a longer payload is cut at the area's end).
QByteArray DigestAreaMd5(QByteArrayView payload);

// The stored digest equals the MD5 of the digest area.
bool DigestMatches(const FirmwareImage &image);

} // namespace qev
