#pragma once

// Writes firmware image files for trying and testing the installation: the header with
// class tag, date, version text and digest, then N blocks of a reproducible pattern.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace qev::imagemaker {

enum class DigestKind {
    Correct,     // MD5 of the whole 131072-byte digest area
    PayloadOnly, // MD5 of the payload bytes alone (what a careless tool would write)
    Wrong,       // the correct digest with its first byte changed
};

struct ImageSpec {
    quint8 classTag = 17;
    QByteArray version = "1.02.3"; // six characters, padded or cut
    QByteArray day = "09";
    QByteArray month = "12";
    QByteArray year = "26";
    int blocks = 255;
    quint32 seed = 1; // the payload pattern; different seeds give different images
    DigestKind digest = DigestKind::Correct;
    qsizetype truncateTo = -1; // cut the file to this many bytes; negative: whole file
};

// The N * 512 payload bytes.
QByteArray ImagePayload(const ImageSpec &spec);

// The whole file.
QByteArray MakeImage(const ImageSpec &spec);

bool WriteImageFile(const QString &path, const ImageSpec &spec, QString *error);

struct ParsedImageCommandLine {
    std::optional<ImageSpec> spec;
    QString output;
    QString helpText; // set when help was asked for
    QString error;
};

// arguments[0] is the program name.
ParsedImageCommandLine ParseImageMakerCommandLine(const QStringList &arguments);

} // namespace qev::imagemaker
