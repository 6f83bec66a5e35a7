#ifndef ACFUTILS_CRC64_H
#define ACFUTILS_CRC64_H

/* CRC-64 (the ECMA-182 polynomial, reflected, as in xz) and a seeded generator. */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

void __libacfutils_crc64_init(void);
void __libacfutils_crc64_srand(uint64_t seed);
uint64_t __libacfutils_crc64(const void *data, size_t len);
uint64_t __libacfutils_crc64_rand(void);

#define crc64_init __libacfutils_crc64_init
#define crc64_srand __libacfutils_crc64_srand
#define crc64 __libacfutils_crc64
#define crc64_rand __libacfutils_crc64_rand

#ifdef __cplusplus
}
#endif

#endif
