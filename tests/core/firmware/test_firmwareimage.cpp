// Image files: the class tables, the header labels, the bounded reader and the digest.

#include "firmware/firmwareimage.h"
#include "imagemaker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qev;
using qev::imagemaker::DigestKind;
using qev::imagemaker::ImageSpec;
using qev::imagemaker::MakeImage;

namespace {

struct FitRow {
    int currentClass;
    int tag;
    bool fits;
};

class TagFits : public testing::TestWithParam<FitRow> {};

TEST_P(TagFits, Table) {
    const FitRow row = GetParam();
    EXPECT_EQ(ImageTagFitsClass(quint8(row.currentClass), quint8(row.tag)), row.fits);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, TagFits,
    testing::Values(FitRow{1, 1, true}, FitRow{6, 6, true}, FitRow{12, 12, true},
                    FitRow{15, 15, true}, FitRow{17, 17, true}, FitRow{17, 6, false},
                    FitRow{22, 23, false}, FitRow{25, 25, true}, FitRow{16, 27, false},
                    FitRow{27, 26, true}, FitRow{27, 27, false}, FitRow{34, 0, true},
                    FitRow{34, 17, true}, FitRow{34, 255, true}, FitRow{7, 7, false},
                    FitRow{0, 0, false}, FitRow{26, 26, false}, FitRow{254, 254, false}),
    [](const testing::TestParamInfo<FitRow> &p) {
        return "class" + std::to_string(p.param.currentClass) + "_tag" +
               std::to_string(p.param.tag);
    });

TEST(BlockCount, LargeDevicesTake255Blocks) {
    for (const int c : {17, 22, 23, 24, 27})
        EXPECT_EQ(BlockCountOfClass(quint8(c)), 255) << c;
    for (const int c : {0, 1, 5, 16, 21, 25, 26, 34})
        EXPECT_EQ(BlockCountOfClass(quint8(c)), 64) << c;
}

TEST(HeaderText, DateVersionAndTag) {
    ImageSpec spec;
    spec.classTag = 22;
    spec.version = "2.10.7";
    spec.day = "03";
    spec.month = "11";
    spec.year = "25";
    const auto text = ReadImageHeaderText(MakeImage(spec));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->classTag, 22);
    EXPECT_EQ(text->date, QStringLiteral("03.11.2025"));
    EXPECT_EQ(text->version, QStringLiteral("2.10.7"));
}

TEST(HeaderText, FifteenBytesAreNotEnough) {
    EXPECT_FALSE(ReadImageHeaderText(MakeImage(ImageSpec{}).first(15)));
    EXPECT_TRUE(ReadImageHeaderText(MakeImage(ImageSpec{}).first(16)));
}

class ImageFiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString write(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(ImageFiles, CorrectImageReadsWholeAndPassesTheDigest) {
    ImageSpec spec;
    spec.blocks = 64;
    const QString path = write("ok.snFirm", MakeImage(spec));
    const ImageReadResult r = ReadImageFile(path, 64);
    ASSERT_EQ(r.status, ImageReadStatus::Ok);
    EXPECT_EQ(r.image->payload, imagemaker::ImagePayload(spec));
    EXPECT_EQ(r.image->block(64), imagemaker::ImagePayload(spec).sliced(63 * 512));
    EXPECT_TRUE(DigestMatches(*r.image));
}

TEST_F(ImageFiles, DigestOverThePayloadAloneIsRejected) {
    ImageSpec spec;
    spec.blocks = 64;
    spec.digest = DigestKind::PayloadOnly;
    const ImageReadResult r = ReadImageFile(write("p.snFirm", MakeImage(spec)), 64);
    ASSERT_EQ(r.status, ImageReadStatus::Ok);
    EXPECT_FALSE(DigestMatches(*r.image));
}

TEST_F(ImageFiles, WrongDigestAndWrongBlockCountAreRejected) {
    ImageSpec wrong;
    wrong.blocks = 64;
    wrong.digest = DigestKind::Wrong;
    EXPECT_FALSE(DigestMatches(*ReadImageFile(write("w.snFirm", MakeImage(wrong)), 64).image));
    // A 255-block image offered to a 64-block device.
    ImageSpec large;
    large.blocks = 255;
    const QString path = write("l.snFirm", MakeImage(large));
    EXPECT_TRUE(DigestMatches(*ReadImageFile(path, 255).image));
    EXPECT_FALSE(DigestMatches(*ReadImageFile(path, 64).image));
}

TEST_F(ImageFiles, TruncatedFileIsZeroFilledAndFailsTheDigest) {
    ImageSpec spec;
    spec.blocks = 64;
    spec.truncateTo = 32 + 10 * 512 + 7;
    const ImageReadResult r = ReadImageFile(write("t.snFirm", MakeImage(spec)), 64);
    ASSERT_EQ(r.status, ImageReadStatus::Ok);
    ASSERT_EQ(r.image->payload.size(), 64 * 512);
    EXPECT_EQ(r.image->payload.first(10 * 512 + 7),
              imagemaker::ImagePayload(spec).first(10 * 512 + 7));
    EXPECT_EQ(r.image->payload.sliced(10 * 512 + 7), QByteArray(64 * 512 - 10 * 512 - 7, '\0'));
    EXPECT_FALSE(DigestMatches(*r.image));
}

TEST_F(ImageFiles, ImageWhoseLastBlocksAreZeroMayBeCutThere) {
    // The digest area holds zeros behind the file's end, so a file without its zero tail
    // is the same image.
    QByteArray full = MakeImage(ImageSpec{.blocks = 64});
    QByteArray payload = full.sliced(32);
    payload.replace(60 * 512, 4 * 512, QByteArray(4 * 512, '\0'));
    QByteArray header = full.first(32);
    header.replace(16, 16, DigestAreaMd5(payload));
    const QString path = write("z.snFirm", header + payload.first(60 * 512));
    EXPECT_TRUE(DigestMatches(*ReadImageFile(path, 64).image));
}

TEST_F(ImageFiles, HugeFileIsReadOnlyAsFarAsTheBlocks) {
    const QString path = dir.filePath("huge.snFirm");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(MakeImage(ImageSpec{.blocks = 64}));
        ASSERT_TRUE(file.resize(qint64(4) << 30)); // sparse: costs no disk
    }
    const ImageReadResult r = ReadImageFile(path, 64);
    ASSERT_EQ(r.status, ImageReadStatus::Ok);
    EXPECT_EQ(r.image->payload.size(), 64 * 512);
    EXPECT_TRUE(DigestMatches(*r.image));
}

struct BadFileRow {
    const char *name;
    ImageReadStatus status;
};

class BadFiles : public ImageFiles, public testing::WithParamInterface<BadFileRow> {};

TEST_P(BadFiles, ClearStatusNoImage) {
    const BadFileRow row = GetParam();
    QString path;
    const QString kind = QString::fromLatin1(row.name);
    if (kind == "missing")
        path = dir.filePath("none.snFirm");
    else if (kind == "empty_path")
        path = QString();
    else if (kind == "folder")
        path = dir.path();
    else if (kind == "device")
        path = QStringLiteral("/dev/zero");
    else if (kind == "short_header")
        path = write("s.snFirm", MakeImage(ImageSpec{}).first(31));
    else if (kind == "empty")
        path = write("e.snFirm", {});
    const ImageReadResult r = ReadImageFile(path, 64);
    EXPECT_EQ(r.status, row.status);
    EXPECT_FALSE(r.image);
    if (row.status != ImageReadStatus::ShortHeader) {
        EXPECT_FALSE(ImageFitsDevice(path, 34));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadFiles,
                         testing::Values(BadFileRow{"missing", ImageReadStatus::Missing},
                                         BadFileRow{"empty_path", ImageReadStatus::Missing},
                                         BadFileRow{"folder", ImageReadStatus::NotAFile},
                                         BadFileRow{"device", ImageReadStatus::NotAFile},
                                         BadFileRow{"short_header", ImageReadStatus::ShortHeader},
                                         BadFileRow{"empty", ImageReadStatus::ShortHeader}),
                         [](const testing::TestParamInfo<BadFileRow> &p) {
                             return std::string(p.param.name);
                         });

TEST_F(ImageFiles, FitsDeviceReadsTheTagFromTheFile) {
    const QString path = write("gw.snFirm", MakeImage(ImageSpec{.classTag = 26, .blocks = 255}));
    EXPECT_TRUE(ImageFitsDevice(path, 27));
    EXPECT_FALSE(ImageFitsDevice(path, 26));
    EXPECT_TRUE(ImageFitsDevice(path, 34));
    EXPECT_FALSE(ImageFitsDevice(dir.filePath("missing.snFirm"), 34));
    const auto text = ReadImageHeaderFile(path);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->classTag, 26);
    EXPECT_FALSE(ReadImageHeaderFile(dir.path()));
}

} // namespace
