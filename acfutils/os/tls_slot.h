#ifndef ACFUTILS_OS_TLS_SLOT_H
#define ACFUTILS_OS_TLS_SLOT_H

/*
 * The once-only creation of a thread-local slot's key, shared by the
 * platforms. os_tls_key_t.created is the slot's state, accessed atomically
 * so that the key is created exactly once even when threads race to first
 * use it. The zero-initialised slot is "not created"; a failed creation
 * returns the slot to that state so that a later call may try again.
 */

#include "os.h"

#include <thread>

namespace os_detail {

enum : int { SLOT_NONE = 0, SLOT_CREATING = 1, SLOT_READY = 2 };

/* create(unsigned long *key) makes the platform's key; false when it cannot. */
template <typename Create> bool slot_key(os_tls_key_t *slot, unsigned long *key, Create create)
{
    for (;;) {
        int state = __atomic_load_n(&slot->created, __ATOMIC_ACQUIRE);
        if (state == SLOT_READY) {
            *key = slot->key;
            return true;
        }
        if (state == SLOT_NONE) {
            int expected = SLOT_NONE;
            if (__atomic_compare_exchange_n(&slot->created, &expected, SLOT_CREATING, false, __ATOMIC_ACQ_REL,
                                            __ATOMIC_ACQUIRE)) {
                unsigned long k = 0;
                if (!create(&k)) {
                    __atomic_store_n(&slot->created, SLOT_NONE, __ATOMIC_RELEASE);
                    return false;
                }
                slot->key = k;
                __atomic_store_n(&slot->created, SLOT_READY, __ATOMIC_RELEASE);
                *key = k;
                return true;
            }
            continue;
        }
        /* Another thread is creating the key: it takes microseconds. */
        std::this_thread::yield();
    }
}

/* True when the slot holds a key; it then reads as not created. */
inline bool slot_take(os_tls_key_t *slot, unsigned long *key)
{
    if (slot == nullptr || __atomic_load_n(&slot->created, __ATOMIC_ACQUIRE) != SLOT_READY)
        return false;
    *key = slot->key;
    __atomic_store_n(&slot->created, SLOT_NONE, __ATOMIC_RELEASE);
    return true;
}

} // namespace os_detail

#endif
