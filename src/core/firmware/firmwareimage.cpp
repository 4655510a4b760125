#include "firmware/firmwareimage.h"

#include "devicelink/deviceclasses.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace qev {

namespace {

// Header text as a label shows it: everything up to the first NUL.
QString headerText(QByteArrayView bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.first(nul));
}

bool isRegularFile(const QString &path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

// Reads up to maxBytes; false on a read error. A regular file may hand out less than
// asked per call, so keep reading until the end or the limit.
bool readAtMost(QFile &file, qsizetype maxBytes, QByteArray &out) {
    out.resize(maxBytes);
    qsizetype got = 0;
    while (got < maxBytes) {
        const qint64 n = file.read(out.data() + got, maxBytes - got);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += qsizetype(n);
    }
    out.resize(got);
    return true;
}

} // namespace

int BlockCountOfClass(quint8 currentClass) {
    return ClassInfo(currentClass).firmwareBlocks;
}

bool ImageTagFitsClass(quint8 currentClass, quint8 classTag) {
    switch (currentClass) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 12:
    case 15:
    case 16:
    case 17:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
        return classTag == currentClass;
    case 27:
        return classTag == 26;
    case 34:
        return true;
    default:
        return false;
    }
}

std::optional<ImageHeaderText> ReadImageHeaderText(QByteArrayView bytes) {
    if (bytes.size() < image::ShownHeaderSize)
        return std::nullopt;
    ImageHeaderText text;
    text.classTag = quint8(bytes[0]);
    text.date = QStringLiteral("%1.%2.20%3")
                    .arg(headerText(bytes.sliced(2, 2)), headerText(bytes.sliced(4, 2)),
                         headerText(bytes.sliced(6, 2)));
    text.version = headerText(bytes.sliced(9, 6));
    return text;
}

std::optional<ImageHeaderText> ReadImageHeaderFile(const QString &path) {
    if (!isRegularFile(path))
        return std::nullopt;
    QFile file(path);
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly) || !readAtMost(file, image::ShownHeaderSize, bytes))
        return std::nullopt;
    return ReadImageHeaderText(bytes);
}

bool ImageFitsDevice(const QString &path, quint8 currentClass) {
    if (!isRegularFile(path))
        return false;
    QFile file(path);
    QByteArray tag;
    if (!file.open(QIODevice::ReadOnly) || !readAtMost(file, 1, tag) || tag.isEmpty())
        return false;
    return ImageTagFitsClass(currentClass, quint8(tag.at(0)));
}

QByteArrayView FirmwareImage::storedDigest() const {
    return QByteArrayView(header).sliced(image::DigestOffset, image::DigestSize);
}

QByteArrayView FirmwareImage::block(int k) const {
    return QByteArrayView(payload).sliced(qsizetype(k - 1) * image::BlockSize, image::BlockSize);
}

std::optional<FirmwareImage> ParseImage(QByteArrayView bytes, int blockCount) {
    if (bytes.size() < image::HeaderSize)
        return std::nullopt;
    FirmwareImage result;
    result.blockCount = std::clamp(blockCount, 1, image::LargeBlockCount);
    result.header = bytes.first(image::HeaderSize).toByteArray();
    const qsizetype payloadSize = qsizetype(result.blockCount) * image::BlockSize;
    const QByteArrayView rest = bytes.sliced(image::HeaderSize);
    result.payload = rest.first(std::min(rest.size(), payloadSize)).toByteArray();
    result.payload.append(payloadSize - result.payload.size(), '\0');
    return result;
}

ImageReadResult ReadImageFile(const QString &path, int blockCount) {
    ImageReadResult result;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        result.status = ImageReadStatus::Missing;
        return result;
    }
    if (!info.isFile()) {
        result.status = ImageReadStatus::NotAFile;
        return result;
    }
    QFile file(path);
    QByteArray bytes;
    const qsizetype wanted =
        image::HeaderSize +
        qsizetype(std::clamp(blockCount, 1, image::LargeBlockCount)) * image::BlockSize;
    if (!file.open(QIODevice::ReadOnly) || !readAtMost(file, wanted, bytes)) {
        result.status = ImageReadStatus::Unreadable;
        return result;
    }
    result.image = ParseImage(bytes, blockCount);
    result.status = result.image ? ImageReadStatus::Ok : ImageReadStatus::ShortHeader;
    return result;
}

QByteArray DigestAreaMd5(QByteArrayView payload) {
    QByteArray area(image::DigestAreaSize, '\0');
    const qsizetype n = std::min(payload.size(), image::DigestAreaSize);
    std::copy_n(payload.data(), n, area.data());
    return QCryptographicHash::hash(area, QCryptographicHash::Md5);
}

bool DigestMatches(const FirmwareImage &image) {
    return DigestAreaMd5(image.payload) == image.storedDigest();
}

} // namespace qev
