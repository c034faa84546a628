/*
 * Tarvenloft unit tests - base64 text, as map files carry layer data.
 *
 * SPDX-License-Identifier: MIT
 */
#include <gtest/gtest.h>

#include <string>

#include "base64.h"

static std::string b64Of(const std::string& tBytes)
{
    return b64Encode(reinterpret_cast<const unsigned char*>(tBytes.data()), tBytes.size());
}

static bool b64From(const std::string& tText, std::string& tBytes)
{
    std::string tWhy;
    return b64Decode(tText.data(), tText.size(), tBytes, tWhy);
}

// The test vectors of RFC 4648, section 10, both ways.
TEST(Base64, StandardVectorsBothWays)
{
    const char* cPairs[][2] = {{"", ""},
                               {"f", "Zg=="},
                               {"fo", "Zm8="},
                               {"foo", "Zm9v"},
                               {"foob", "Zm9vYg=="},
                               {"fooba", "Zm9vYmE="},
                               {"foobar", "Zm9vYmFy"}};
    for (const auto& p : cPairs)
    {
        EXPECT_EQ(b64Of(p[0]), p[1]);
        std::string tBytes;
        EXPECT_TRUE(b64From(p[1], tBytes)) << p[1];
        EXPECT_EQ(tBytes, p[0]);
    }
}

// Every byte value, and the last characters of the alphabet, survive the round trip.
TEST(Base64, AllByteValuesRoundTrip)
{
    std::string tAll;
    for (int i = 0; i < 256; i++)
    {
        tAll += static_cast<char>(255 - i);
    }
    const std::string tText = b64Of(tAll);
    EXPECT_NE(tText.find('+'), std::string::npos);
    EXPECT_NE(tText.find('/'), std::string::npos);
    std::string tBytes;
    ASSERT_TRUE(b64From(tText, tBytes));
    EXPECT_EQ(tBytes, tAll);
}

// Map files wrap the text in a newline and indentation, and may have CR LF line ends.
TEST(Base64, WhitespaceAnywhereIsSkipped)
{
    std::string tBytes;
    ASSERT_TRUE(b64From("\r\n   Zm9v\tYm\nFy\r\n  ", tBytes));
    EXPECT_EQ(tBytes, "foobar");
}

TEST(Base64, BadCharactersAndBadPaddingAreRefused)
{
    for (const char* cBad :
         {"Zm9v!mFy", "Zm9-", "Zg=a", "Z===", "====", "Zg==Zg==", "Zm8=Z", "Zm9", "Zg="})
    {
        std::string tBytes;
        std::string tWhy;
        EXPECT_FALSE(b64Decode(cBad, std::string(cBad).size(), tBytes, tWhy)) << cBad;
        EXPECT_FALSE(tWhy.empty()) << cBad;
    }
}
