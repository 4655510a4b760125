#include "report/fileversion.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>

#include <algorithm>
#include <optional>

namespace qev {

namespace {

constexpr quint32 RtVersion = 16;
constexpr quint32 VsVersionInfoId = 1;
constexpr quint32 HighBit = 0x80000000u;
constexpr int ResourceDirectoryIndex = 2;
constexpr quint32 SectionHeaderSize = 40;
// VS_VERSIONINFO carries its length in 16 bits.
constexpr quint32 MaxVersionResource = 0xFFFF;

std::optional<quint32> le16(QByteArrayView bytes, qsizetype at) {
    if (at < 0 || at + 2 > bytes.size())
        return std::nullopt;
    return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8;
}

std::optional<quint32> le32(QByteArrayView bytes, qsizetype at) {
    const auto low = le16(bytes, at);
    const auto high = le16(bytes, at + 2);
    if (!low || !high)
        return std::nullopt;
    return *low | *high << 16;
}

struct Section {
    quint32 virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0;
};

// Where in the file the bytes of an image address lie, and how many of them the section
// holds from there.
struct FileSpan {
    quint64 offset = 0;
    quint32 available = 0;
};

std::optional<FileSpan> fileSpanOf(const std::vector<Section> &sections, quint32 rva) {
    for (const Section &s : sections) {
        const quint64 start = s.virtualAddress;
        const quint64 extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= start && rva < start + extent && rva - start < s.rawSize)
            return FileSpan{quint64(s.rawPointer) + (rva - start),
                            s.rawSize - quint32(rva - start)};
    }
    return std::nullopt;
}

class PeImage {
public:
    explicit PeImage(const ReadAt &read)
        : m_read(read) {}

    // The bytes of the version resource, empty when the image has none.
    QByteArray versionResource() {
        const QByteArray dos = m_read(0, 64);
        const auto peOffset = le32(dos, 0x3C);
        if (!dos.startsWith("MZ") || !peOffset)
            return {};
        const QByteArray pe = m_read(*peOffset, 24);
        if (pe.size() < 24 || !pe.startsWith(QByteArrayView("PE\0\0", 4)))
            return {};
        const quint32 sectionCount = *le16(pe, 6);
        const quint32 optionalSize = *le16(pe, 20);
        const QByteArray optional = m_read(quint64(*peOffset) + 24, optionalSize);
        const auto rsrcRva = resourceDirectoryRva(optional);
        if (!rsrcRva)
            return {};
        const QByteArray table =
            m_read(quint64(*peOffset) + 24 + optionalSize, sectionCount * SectionHeaderSize);
        for (qsizetype at = 0; at + qsizetype(SectionHeaderSize) <= table.size();
             at += SectionHeaderSize)
            m_sections.push_back({*le32(table, at + 8), *le32(table, at + 12),
                                  *le32(table, at + 16), *le32(table, at + 20)});
        const auto root = fileSpanOf(m_sections, *rsrcRva);
        if (!root)
            return {};
        m_root = *root;

        // Type RT_VERSION, then the resource named 1 (else the first), then the first language.
        auto node = entryOf(0, [](quint32 name, int) { return name == RtVersion; });
        if (!node || !(*node & HighBit))
            return {};
        node = preferredEntry(*node & ~HighBit);
        if (!node || !(*node & HighBit))
            return {};
        node = entryOf(*node & ~HighBit, [](quint32, int index) { return index == 0; });
        if (!node || (*node & HighBit))
            return {};
        const QByteArray dataEntry = readResource(*node, 16);
        const auto dataRva = le32(dataEntry, 0);
        const auto dataSize = le32(dataEntry, 4);
        if (!dataRva || !dataSize)
            return {};
        const auto data = fileSpanOf(m_sections, *dataRva);
        if (!data)
            return {};
        return m_read(data->offset, std::min({*dataSize, data->available, MaxVersionResource}));
    }

private:
    static std::optional<quint32> resourceDirectoryRva(QByteArrayView optional) {
        const auto magic = le16(optional, 0);
        qsizetype countAt = 0;
        if (magic == 0x10b) // PE32
            countAt = 92;
        else if (magic == 0x20b) // PE32+
            countAt = 108;
        else
            return std::nullopt;
        const auto count = le32(optional, countAt);
        const auto rva = le32(optional, countAt + 4 + ResourceDirectoryIndex * 8);
        if (!count || *count <= ResourceDirectoryIndex || !rva || *rva == 0)
            return std::nullopt;
        return rva;
    }

    QByteArray readResource(quint32 offset, quint32 length) {
        if (offset >= m_root.available)
            return {};
        return m_read(m_root.offset + offset, std::min(length, m_root.available - offset));
    }

    // The OffsetToData of the first entry of the directory at offset that pick accepts.
    template <typename Pick>
    std::optional<quint32> entryOf(quint32 offset, Pick pick) {
        const QByteArray header = readResource(offset, 16);
        const auto named = le16(header, 12);
        const auto ids = le16(header, 14);
        if (!named || !ids)
            return std::nullopt;
        const QByteArray entries = readResource(offset + 16, (*named + *ids) * 8);
        for (qsizetype at = 0; at + 8 <= entries.size(); at += 8)
            if (pick(*le32(entries, at), int(at / 8)))
                return le32(entries, at + 4);
        return std::nullopt;
    }

    std::optional<quint32> preferredEntry(quint32 offset) {
        if (auto byId = entryOf(offset, [](quint32 name, int) { return name == VsVersionInfoId; }))
            return byId;
        return entryOf(offset, [](quint32, int index) { return index == 0; });
    }

    const ReadAt &m_read;
    std::vector<Section> m_sections;
    FileSpan m_root;
};

// One block of VS_VERSIONINFO: length, value length, type, key, value, children; each part
// aligned to four bytes from the start of the resource.
struct Block {
    QString key;
    qsizetype valueStart = 0;
    qsizetype valueLength = 0; // as stored (characters for text, bytes for binary)
    qsizetype childrenStart = 0;
    qsizetype end = 0;
};

qsizetype align4(qsizetype at) {
    return (at + 3) & ~qsizetype(3);
}

// The characters up to the first NUL before end, and where the NUL ends (-1 when none
// comes: a key then is broken; a value ends with its block when a writer left the NUL out).
struct Text {
    QString text;
    qsizetype after = -1;
};

Text textAt(QByteArrayView bytes, qsizetype at, qsizetype end) {
    Text result;
    for (; at + 2 <= end; at += 2) {
        const quint32 unit = *le16(bytes, at);
        if (unit == 0) {
            result.after = at + 2;
            break;
        }
        result.text.append(QChar(char16_t(unit)));
    }
    return result;
}

std::optional<Block> blockAt(QByteArrayView bytes, qsizetype at, qsizetype limit) {
    const auto length = le16(bytes, at);
    const auto valueLength = le16(bytes, at + 2);
    const auto type = le16(bytes, at + 4);
    if (!length || !type || *length < 6 || at + 6 > limit)
        return std::nullopt;
    Block block;
    block.end = std::min(at + qsizetype(*length), limit);
    Text key = textAt(bytes, at + 6, block.end);
    if (key.after < 0)
        return std::nullopt;
    block.key = std::move(key.text);
    block.valueStart = std::min(align4(key.after), block.end);
    block.valueLength = *valueLength;
    const qsizetype valueBytes = *type == 1 ? 2 * block.valueLength : block.valueLength;
    block.childrenStart = std::min(align4(block.valueStart + valueBytes), block.end);
    return block;
}

std::optional<Block> childOf(QByteArrayView bytes, const Block &parent, QStringView key) {
    qsizetype at = parent.childrenStart;
    while (at + 6 <= parent.end) {
        const auto child = blockAt(bytes, at, parent.end);
        if (!child)
            return std::nullopt;
        if (child->key.compare(key, Qt::CaseInsensitive) == 0)
            return child;
        at = align4(child->end);
    }
    return std::nullopt;
}

std::array<QString, VersionKeys.size()> stringsOf(QByteArrayView resource) {
    std::array<QString, VersionKeys.size()> values;
    const auto root = blockAt(resource, 0, resource.size());
    if (!root)
        return values;
    const auto vars = childOf(resource, *root, u"VarFileInfo");
    const auto translation = vars ? childOf(resource, *vars, u"Translation") : std::nullopt;
    const auto language = translation ? le16(resource, translation->valueStart) : std::nullopt;
    const auto codePage = translation ? le16(resource, translation->valueStart + 2) : std::nullopt;
    if (!language || !codePage || translation->valueStart + 4 > translation->end)
        return values;
    const auto strings = childOf(resource, *root, u"StringFileInfo");
    const auto table =
        strings ? childOf(resource, *strings, QString::asprintf("%04x%04x", *language, *codePage))
                : std::nullopt;
    if (!table)
        return values;
    for (std::size_t k = 0; k < VersionKeys.size(); ++k) {
        const auto entry = childOf(resource, *table, QStringView(VersionKeys[k]));
        if (entry && entry->valueLength > 0)
            values[k] = textAt(resource, entry->valueStart, entry->end).text;
    }
    return values;
}

bool isWindowsExecutable(const QMimeType &type) {
    return type.inherits(QStringLiteral("application/x-ms-dos-executable")) ||
           type.inherits(QStringLiteral("application/x-msdownload"));
}

} // namespace

QString TFileVersionInfo::value(QStringView key) const {
    for (std::size_t k = 0; k < VersionKeys.size(); ++k)
        if (key == QStringView(VersionKeys[k]))
            return values[k];
    return {};
}

std::array<QString, VersionKeys.size()> ReadVersionStrings(const ReadAt &read) {
    return stringsOf(PeImage(read).versionResource());
}

std::array<QString, VersionKeys.size()> ReadVersionStrings(QByteArrayView image) {
    return ReadVersionStrings([image](quint64 offset, quint32 length) {
        if (offset >= quint64(image.size()))
            return QByteArray();
        return image.sliced(qsizetype(offset))
            .first(std::min(qsizetype(length), image.size() - qsizetype(offset)))
            .toByteArray();
    });
}

TFileVersionInfo ReadFileVersionInfo(const QString &path, bool force) {
    TFileVersionInfo info;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    info.typeName = type.comment();
    if (!force && !isWindowsExecutable(type))
        return info;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return info;
    const quint64 size = quint64(file.size());
    info.values = ReadVersionStrings([&file, size](quint64 offset, quint32 length) {
        if (offset >= size || !file.seek(qint64(offset)))
            return QByteArray();
        return file.read(qint64(std::min(quint64(length), size - offset)));
    });
    return info;
}

QString VersionTextOf(const QString &fileVersion) {
    const QStringList parts = fileVersion.split(u'.');
    if (parts.size() < 4)
        return {};
    return parts[0] + u'.' + parts[1] + u'.' + parts[3];
}

QString FileVersionText(const QString &path) {
    return VersionTextOf(ReadFileVersionInfo(path, true).fileVersion());
}

QString FileDateText(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return QLocale::system().toString(info.lastModified().date(), QLocale::ShortFormat);
}

} // namespace qev
