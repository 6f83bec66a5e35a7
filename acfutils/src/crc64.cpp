/*
 * CRC-64/XZ: the ECMA-182 polynomial, reflected (0xC96C5795D7870F42), with
 * the register starting at and finally xor'ed with all ones. The check value
 * for "123456789" is 0x995DC9BBDF1939FA.
 *
 * The generator is splitmix64: any seed, 0 included, gives a full-period,
 * well-mixed sequence. Its state advances with one atomic add, so it may be
 * used from several threads at once.
 */

#include <acfutils/crc64.h>

#include <atomic>
#include <mutex>

namespace {

constexpr uint64_t CRC64_POLY = 0xC96C5795D7870F42ull;
constexpr uint64_t SPLITMIX_GAMMA = 0x9E3779B97F4A7C15ull;

uint64_t crc64_table[256];
std::once_flag crc64_once;

std::atomic<uint64_t> rand_state{0};

void build_table()
{
    for (unsigned i = 0; i < 256; i++) {
        uint64_t c = i;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? (c >> 1) ^ CRC64_POLY : (c >> 1);
        crc64_table[i] = c;
    }
}

} // namespace

extern "C" {

void __libacfutils_crc64_init(void)
{
    std::call_once(crc64_once, build_table);
}

uint64_t __libacfutils_crc64(const void *data, size_t len)
{
    /* Cheap after the first call; callers that forgot crc64_init still work. */
    __libacfutils_crc64_init();
    const unsigned char *p = static_cast<const unsigned char *>(data);
    uint64_t crc = ~0ull;
    if (p != nullptr) {
        for (size_t i = 0; i < len; i++)
            crc = crc64_table[(crc ^ p[i]) & 0xff] ^ (crc >> 8);
    }
    return ~crc;
}

void __libacfutils_crc64_srand(uint64_t seed)
{
    rand_state.store(seed, std::memory_order_relaxed);
}

uint64_t __libacfutils_crc64_rand(void)
{
    uint64_t z = rand_state.fetch_add(SPLITMIX_GAMMA, std::memory_order_relaxed) + SPLITMIX_GAMMA;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // extern "C"
