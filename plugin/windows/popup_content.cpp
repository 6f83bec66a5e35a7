#include "windows/popup_content.h"

#include <cstdint>

#include "windows/popup.h"

content_rect popup_content_rect(const popup *pup, int left, int top, int right, int bottom)
{
    const content_rect window{left, top, right, bottom};
    if (pup->keys->fill_window->get() != 0)
        return window;
    const int64_t w = int64_t{right} - left, h = int64_t{top} - bottom;
    if (w <= 0 || h <= 0)
        return window;

    // Truncated, so the content never reaches past the window's top.
    const auto full_width_h = static_cast<int64_t>(pup->height / pup->width * static_cast<double>(w));
    if (full_width_h <= h)
        return {left, static_cast<int>(bottom + full_width_h), right, bottom};
    auto full_height_w = static_cast<int64_t>(pup->width / pup->height * static_cast<double>(h));
    if (full_height_w > w)
        full_height_w = w;
    const int64_t content_left = left + (w - full_height_w) / 2;
    return {static_cast<int>(content_left), top, static_cast<int>(content_left + full_height_w), bottom};
}
