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
