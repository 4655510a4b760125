#include "imagemaker.h"

#include "firmware/firmwareimage.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QSaveFile>
#include <algorithm>

namespace qev::imagemaker {

namespace {

QByteArray fitted(QByteArray text, qsizetype size) {
    text.truncate(size);
    text.append(size - text.size(), ' ');
    return text;
}

std::optional<int> parseInt(const QString &text, int min, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace

QByteArray ImagePayload(const ImageSpec &spec) {
    QByteArray payload(qsizetype(spec.blocks) * image::BlockSize, '\0');
    // xorshift32: reproducible, and no two blocks alike.
    quint32 state = spec.seed != 0 ? spec.seed : 0x9E3779B9u;
    for (char &byte : payload) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = char(state >> 24);
    }
    return payload;
}

QByteArray MakeImage(const ImageSpec &spec) {
    const QByteArray payload = ImagePayload(spec);
    QByteArray header(image::HeaderSize, '\0');
    header[0] = char(spec.classTag);
    header.replace(2, 2, fitted(spec.day, 2));
    header.replace(4, 2, fitted(spec.month, 2));
    header.replace(6, 2, fitted(spec.year, 2));
    header.replace(9, 6, fitted(spec.version, 6));
    QByteArray digest;
    switch (spec.digest) {
    case DigestKind::Correct:
        digest = DigestAreaMd5(payload);
        break;
    case DigestKind::PayloadOnly:
        digest = QCryptographicHash::hash(payload, QCryptographicHash::Md5);
        break;
    case DigestKind::Wrong:
        digest = DigestAreaMd5(payload);
        digest[0] = char(~quint8(digest[0]));
        break;
    }
    header.replace(image::DigestOffset, image::DigestSize, digest);
    QByteArray file = header + payload;
    if (spec.truncateTo >= 0)
        file.truncate(spec.truncateTo);
    return file;
}

bool WriteImageFile(const QString &path, const ImageSpec &spec, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(MakeImage(spec)) < 0 || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

ParsedImageCommandLine ParseImageMakerCommandLine(const QStringList &arguments) {
    ParsedImageCommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a firmware image file (*.snFirm) for trying and testing the installation."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The file to write."), QStringLiteral("FILE"));
    const QCommandLineOption classTag(QStringLiteral("class"),
                                      QStringLiteral("Class tag in byte 0 (default 17)."),
                                      QStringLiteral("N"), QStringLiteral("17"));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Version text, six characters (default "
                                                    "1.02.3)."),
                                     QStringLiteral("TEXT"), QStringLiteral("1.02.3"));
    const QCommandLineOption date(QStringLiteral("date"),
                                  QStringLiteral("Date DD.MM.YY (default 09.12.26)."),
                                  QStringLiteral("DATE"), QStringLiteral("09.12.26"));
    const QCommandLineOption blocks(QStringLiteral("blocks"),
                                    QStringLiteral("Blocks of 512 bytes, 1-256 (default 255; "
                                                   "64 for most classes)."),
                                    QStringLiteral("N"), QStringLiteral("255"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the payload pattern (default 1)."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption digest(
        QStringLiteral("digest"),
        QStringLiteral("correct, payload (MD5 of the payload alone) or wrong (default "
                       "correct)."),
        QStringLiteral("KIND"), QStringLiteral("correct"));
    const QCommandLineOption truncate(QStringLiteral("truncate"),
                                      QStringLiteral("Cut the file to BYTES bytes."),
                                      QStringLiteral("BYTES"));
    parser.addOptions({help, output, classTag, version, date, blocks, seed, digest, truncate});
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.helpText = parser.helpText();
        return result;
    }
    const auto fail = [&](const QCommandLineOption &option) {
        result.error =
            QStringLiteral("bad --%1 '%2'").arg(option.names().last(), parser.value(option));
        return result;
    };
    ImageSpec spec;
    if (const auto v = parseInt(parser.value(classTag), 0, 255))
        spec.classTag = quint8(*v);
    else
        return fail(classTag);
    spec.version = parser.value(version).toLatin1();
    if (spec.version.size() != 6)
        return fail(version);
    const QStringList dateParts = parser.value(date).split(QLatin1Char('.'));
    if (dateParts.size() != 3 || std::any_of(dateParts.begin(), dateParts.end(),
                                             [](const QString &p) { return p.size() != 2; }))
        return fail(date);
    spec.day = dateParts[0].toLatin1();
    spec.month = dateParts[1].toLatin1();
    spec.year = dateParts[2].toLatin1();
    if (const auto v = parseInt(parser.value(blocks), 1, 256))
        spec.blocks = *v;
    else
        return fail(blocks);
    bool seedOk = false;
    spec.seed = parser.value(seed).toUInt(&seedOk);
    if (!seedOk)
        return fail(seed);
    const QString kind = parser.value(digest);
    if (kind == QLatin1String("correct"))
        spec.digest = DigestKind::Correct;
    else if (kind == QLatin1String("payload"))
        spec.digest = DigestKind::PayloadOnly;
    else if (kind == QLatin1String("wrong"))
        spec.digest = DigestKind::Wrong;
    else
        return fail(digest);
    if (parser.isSet(truncate)) {
        if (const auto v = parseInt(parser.value(truncate), 0, 1 << 30))
            spec.truncateTo = *v;
        else
            return fail(truncate);
    }
    result.output = parser.value(output);
    if (result.output.isEmpty()) {
        result.error = QStringLiteral("no --output given (see --help)");
        return result;
    }
    result.spec = spec;
    return result;
}

} // namespace qev::imagemaker
