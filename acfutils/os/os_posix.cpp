/*
 * The POSIX side of the OS layer: pthread keys for thread-local slots, the
 * monotonic clock as the performance counter, and a cursor hook.
 */

#include "os.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <mutex>

namespace {

/*
 * os_tls_key_t.created is the slot's state, accessed atomically so that the
 * key is created exactly once even when threads race to first use it. The
 * zero-initialised slot is "not created"; a failed creation returns the slot
 * to that state so that a later call may try again.
 */
enum : int { SLOT_NONE = 0, SLOT_CREATING = 1, SLOT_READY = 2 };

bool slot_key(os_tls_key_t *slot, pthread_key_t *key)
{
    for (;;) {
        int state = __atomic_load_n(&slot->created, __ATOMIC_ACQUIRE);
        if (state == SLOT_READY) {
            *key = (pthread_key_t)slot->key;
            return true;
        }
        if (state == SLOT_NONE) {
            int expected = SLOT_NONE;
            if (__atomic_compare_exchange_n(&slot->created, &expected, SLOT_CREATING, false, __ATOMIC_ACQ_REL,
                                            __ATOMIC_ACQUIRE)) {
                pthread_key_t k;
                if (pthread_key_create(&k, slot->destructor) != 0) {
                    __atomic_store_n(&slot->created, SLOT_NONE, __ATOMIC_RELEASE);
                    return false;
                }
                slot->key = (unsigned long)k;
                __atomic_store_n(&slot->created, SLOT_READY, __ATOMIC_RELEASE);
                *key = k;
                return true;
            }
            continue;
        }
        /* Another thread is creating the key: it takes microseconds. */
        sched_yield();
    }
}

typedef void (*cursor_hook_t)(const char *name, const unsigned char *pixels, int width, int height,
                              int stride, int hot_x, int hot_y);

std::once_flag cursor_hook_once;
cursor_hook_t cursor_hook = nullptr;

} // namespace

extern "C" {

void *os_tls_get(os_tls_key_t *slot)
{
    pthread_key_t key;
    if (slot == nullptr || !slot_key(slot, &key))
        return nullptr;
    return pthread_getspecific(key);
}

bool os_tls_set(os_tls_key_t *slot, void *value)
{
    pthread_key_t key;
    if (slot == nullptr || !slot_key(slot, &key))
        return false;
    return pthread_setspecific(key, value) == 0;
}

void os_tls_delete(os_tls_key_t *slot)
{
    if (slot == nullptr || __atomic_load_n(&slot->created, __ATOMIC_ACQUIRE) != SLOT_READY)
        return;
    pthread_key_t key = (pthread_key_t)slot->key;
    void *own = pthread_getspecific(key);
    pthread_setspecific(key, nullptr);
    pthread_key_delete(key);
    __atomic_store_n(&slot->created, SLOT_NONE, __ATOMIC_RELEASE);
    if (own != nullptr && slot->destructor != nullptr)
        slot->destructor(own);
}

uint64_t os_perf_counter(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 10000000ull + (uint64_t)ts.tv_nsec / 100ull;
}

uint64_t os_perf_frequency(void)
{
    return 10000000ull;
}

void os_cursor_show(const char *name, const unsigned char *pixels, int width, int height, int stride,
                    int hot_x, int hot_y)
{
    /*
     * No cursor API in this headless build: a hosting process may export
     * os_cursor_hook (same signature) to see the cursors we would show.
     */
    std::call_once(cursor_hook_once, [] {
        cursor_hook = reinterpret_cast<cursor_hook_t>(dlsym(RTLD_DEFAULT, "os_cursor_hook"));
    });
    if (cursor_hook != nullptr)
        cursor_hook(name, pixels, width, height, stride, hot_x, hot_y);
}

} // extern "C"
