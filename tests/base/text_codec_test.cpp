#include "base/text_codec.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(TextCodec, Utf8IsKept)
{
    const QString text = QStringLiteral("Песня 夜 🎵");
    EXPECT_EQ(decodeUtf8OrCp1251(text.toUtf8()), text);
}

TEST(TextCodec, InvalidUtf8IsReadAsCp1251)
{
    // "Привет" in Windows-1251.
    const QByteArray cp1251("\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_FALSE(isValidUtf8(cp1251));
    EXPECT_EQ(decodeUtf8OrCp1251(cp1251), QStringLiteral("Привет"));
}

#include "base/file_name.h"

// Any byte string survives the trip into a QString and back; valid UTF-8
// reads as text, even characters whose UTF-16 ends in the escape range.
TEST(FileName, EveryByteStringRoundTrips)
{
    for (const QByteArray& bytes : {QByteArray("/tmp/ab\xe9\xff.wav"), QByteArray("\xc3\x28 \xed\xa0\x80 \xf0\x9f\x82\x80"),
                                    QByteArray("Песня.ogg"), QByteArray("\x80"), QByteArray()}) {
        EXPECT_EQ(fileNameBytes(fileNameFromBytes(bytes)), bytes) << bytes.toHex().constData();
    }
    EXPECT_EQ(fileNameFromBytes("Песня.ogg"), QStringLiteral("Песня.ogg"));
    EXPECT_EQ(fileNameFromBytes("\xf0\x9f\x82\x80"), QString::fromUtf8("\xf0\x9f\x82\x80"));
    EXPECT_EQ(displayFileName(fileNameFromBytes("ab\xe9.wav")), QStringLiteral("ab\uFFFD.wav"));
}
