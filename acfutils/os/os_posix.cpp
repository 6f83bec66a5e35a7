/*
 * The POSIX side of the OS layer: pthread keys for thread-local slots, the
 * monotonic clock as the performance counter, and a cursor hook.
 */

#include "os.h"
#include "tls_slot.h"

#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <time.h>

#include <mutex>

namespace {

bool slot_key(os_tls_key_t *slot, pthread_key_t *key)
{
    unsigned long k = 0;
    bool ok = os_detail::slot_key(slot, &k, [slot](unsigned long *out) {
        pthread_key_t made;
        if (pthread_key_create(&made, slot->destructor) != 0)
            return false;
        *out = (unsigned long)made;
        return true;
    });
    *key = (pthread_key_t)k;
    return ok;
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
    unsigned long k;
    if (!os_detail::slot_take(slot, &k))
        return;
    pthread_key_t key = (pthread_key_t)k;
    void *own = pthread_getspecific(key);
    pthread_setspecific(key, nullptr);
    pthread_key_delete(key);
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

void os_thread_set_name(const char *name)
{
    char cut[16];
    snprintf(cut, sizeof(cut), "%s", name);
    pthread_setname_np(pthread_self(), cut);
}

os_cursor_t *os_cursor_create(const unsigned char *, int, int, int, int, int)
{
    return nullptr;
}

void os_cursor_destroy(os_cursor_t *) {}

void os_cursor_show(const os_cursor_t *, const char *name, const unsigned char *pixels, int width, int height,
                    int stride, int hot_x, int hot_y)
{
    /*
     * No cursor API in this headless build: a hosting process may export
     * os_cursor_hook (same signature, less the first argument) to see the
     * cursors we would show.
     */
    std::call_once(cursor_hook_once, [] {
        cursor_hook = reinterpret_cast<cursor_hook_t>(dlsym(RTLD_DEFAULT, "os_cursor_hook"));
    });
    if (cursor_hook != nullptr)
        cursor_hook(name, pixels, width, height, stride, hot_x, hot_y);
}

} // extern "C"
