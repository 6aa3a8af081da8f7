#include "platform/ByteOrder.h"

#include <gtest/gtest.h>

using namespace corvale;

TEST(ByteOrder, ReadsAndWritesBothOrdersAtUnalignedAddresses) {
    unsigned char buffer[32] = {};
    // Offset 3 is deliberately misaligned for every width used here.
    unsigned char* p = buffer + 3;

    WriteBE32(p, 0x01020304u);
    EXPECT_EQ(p[0], 0x01);
    EXPECT_EQ(p[3], 0x04);
    EXPECT_EQ(ReadBE32(p), 0x01020304u);

    WriteLE32(p, 0x01020304u);
    EXPECT_EQ(p[0], 0x04);
    EXPECT_EQ(p[3], 0x01);
    EXPECT_EQ(ReadLE32(p), 0x01020304u);

    WriteLE16(p, 0xABCD);
    EXPECT_EQ(p[0], 0xCD);
    EXPECT_EQ(ReadLE16(p), 0xABCD);

    // 1.0 is 0x3FF0000000000000; little-endian puts the 0x3F last.
    WriteLEDouble(p, 1.0);
    EXPECT_EQ(p[7], 0x3F);
    EXPECT_EQ(p[6], 0xF0);
    EXPECT_EQ(ReadLEDouble(p), 1.0);
    WriteLEDouble(p + 1, -1234.5678);
    EXPECT_EQ(ReadLEDouble(p + 1), -1234.5678);
}

TEST(ByteOrder, SwapReversesBytes) {
    EXPECT_EQ(ByteSwap32(0x11223344u), 0x44332211u);
    EXPECT_EQ(ByteSwap64(0x1122334455667788ull), 0x8877665544332211ull);
}
