// Unit tests of CRC-64/XZ and the seeded generator.

#include <acfutils/crc64.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// Bit-at-a-time reference: reflected ECMA-182, init and xorout all ones.
uint64_t crc64_reference(const void *data, size_t len)
{
    const unsigned char *p = static_cast<const unsigned char *>(data);
    uint64_t crc = ~0ull;
    for (size_t i = 0; i < len; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = (crc & 1) ? (crc >> 1) ^ 0xC96C5795D7870F42ull : (crc >> 1);
    }
    return ~crc;
}

} // namespace

TEST(Crc64, CheckValue)
{
    crc64_init();
    EXPECT_EQ(crc64("123456789", 9), 0x995DC9BBDF1939FAull);
}

TEST(Crc64, KnownValues)
{
    crc64_init();
    EXPECT_EQ(crc64("", 0), 0ull);
    EXPECT_EQ(crc64(nullptr, 0), 0ull);
    // CRC-64/XZ of "a" and of a pangram, as `xz -C crc64` stores them.
    EXPECT_EQ(crc64("a", 1), 0x330284772E652B05ull);
    const char *fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(crc64(fox, strlen(fox)), 0x5B5EB8C2E54AA1C4ull);
}

TEST(Crc64, InitTwiceAndFromThreads)
{
    crc64_init();
    crc64_init();
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; i++)
        threads.emplace_back([] {
            crc64_init();
            EXPECT_EQ(crc64("123456789", 9), 0x995DC9BBDF1939FAull);
        });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(crc64("123456789", 9), 0x995DC9BBDF1939FAull);
}

TEST(Crc64, MatchesBitwiseReference)
{
    crc64_init();
    std::vector<unsigned char> buf(4099);
    for (size_t i = 0; i < buf.size(); i++)
        buf[i] = (unsigned char)(i * 7 + (i >> 3));
    for (size_t len : {0u, 1u, 2u, 7u, 8u, 9u, 63u, 64u, 255u, 256u, 1000u, 4099u}) {
        SCOPED_TRACE("length " + std::to_string(len));
        EXPECT_EQ(crc64(buf.data(), len), crc64_reference(buf.data(), len));
    }
    // Every single byte value.
    for (int b = 0; b < 256; b++) {
        unsigned char c = (unsigned char)b;
        EXPECT_EQ(crc64(&c, 1), crc64_reference(&c, 1)) << "byte " << b;
    }
    // A change of one bit changes the sum.
    unsigned char x[16] = {0};
    uint64_t base = crc64(x, sizeof(x));
    x[5] ^= 0x10;
    EXPECT_NE(crc64(x, sizeof(x)), base);
}

TEST(Crc64Rand, SameSeedSameSequence)
{
    crc64_init();
    for (uint64_t seed : {0ull, 1ull, 42ull, 0xFFFFFFFFFFFFFFFFull}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        crc64_srand(seed);
        std::vector<uint64_t> a;
        for (int i = 0; i < 100; i++)
            a.push_back(crc64_rand());
        crc64_srand(seed);
        for (int i = 0; i < 100; i++)
            EXPECT_EQ(crc64_rand(), a[i]) << "index " << i;
    }
}

TEST(Crc64Rand, DifferentSeedsDiffer)
{
    crc64_srand(1);
    uint64_t a[4];
    for (auto &v : a)
        v = crc64_rand();
    crc64_srand(2);
    int same = 0;
    for (auto v : a)
        same += (crc64_rand() == v);
    EXPECT_EQ(same, 0);
}

TEST(Crc64Rand, SeedZeroIsNotDegenerate)
{
    crc64_srand(0);
    std::set<uint64_t> seen;
    uint64_t ones = 0, any_or = 0, all_and = ~0ull;
    const int n = 10000;
    for (int i = 0; i < n; i++) {
        uint64_t v = crc64_rand();
        seen.insert(v);
        ones += (uint64_t)__builtin_popcountll(v);
        any_or |= v;
        all_and &= v;
    }
    EXPECT_EQ(seen.size(), (size_t)n) << "no repeats";
    EXPECT_EQ(seen.count(0), 0u);
    EXPECT_EQ(any_or, ~0ull) << "every bit is set sometimes";
    EXPECT_EQ(all_and, 0ull) << "and clear sometimes";
    double mean_bits = (double)ones / n;
    EXPECT_NEAR(mean_bits, 32.0, 0.5);
}
