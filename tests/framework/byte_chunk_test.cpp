#include "framework/byte_chunk.h"

#include <gtest/gtest.h>

TEST(ByteChunk, AppendsAndReadsLittleEndianWithBoundsChecks) {
    IByteChunk chunk;
    EXPECT_EQ(chunk.PutValue<int32_t>(0x01020304), 4);
    EXPECT_EQ(chunk.PutValue(2.5), 12);
    EXPECT_EQ(chunk.Data()[0], 0x04);
    EXPECT_EQ(chunk.Data()[3], 0x01);

    int32_t i = 0;
    double d = 0;
    EXPECT_EQ(chunk.GetValue(&i, 0), 4);
    EXPECT_EQ(i, 0x01020304);
    EXPECT_EQ(chunk.GetValue(&d, 4), 12);
    EXPECT_EQ(d, 2.5);

    d = 7.0;
    EXPECT_EQ(chunk.GetValue(&d, 5), -1); // would end past the chunk
    EXPECT_EQ(chunk.GetValue(&d, -1), -1);
    EXPECT_EQ(chunk.GetValue(&d, 0x7ffffff8), -1);
    EXPECT_EQ(d, 7.0);
    EXPECT_EQ(chunk.Put(nullptr, 4), 0);
    EXPECT_EQ(chunk.Put("x", -1), 0);
    EXPECT_EQ(chunk.Size(), 12);
}
