#pragma once

// The utility layer logs every malformed line and every key it adds; at
// thousands of inputs a second that is noise, so the fuzz targets drop it.

#include <acfutils/log.h>

inline void quiet_log()
{
    log_init([](const char *) {}, "");
}
