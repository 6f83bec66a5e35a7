#include "jpeg_image.h"

#include <cstdlib>
#include <limits>

#include <turbojpeg.h>

image decode_jpeg(const unsigned char *data, size_t size)
{
    image img;
    tjhandle dec = tjInitDecompress();
    int w = 0, h = 0, subsamp = 0, colours = 0;
    if (dec != nullptr &&
        tjDecompressHeader3(dec, data, static_cast<unsigned long>(size), &w, &h, &subsamp, &colours) == 0) {
        img.rgba.resize(static_cast<size_t>(w) * h * 4);
        if (tjDecompress2(dec, data, static_cast<unsigned long>(size), img.rgba.data(), w, 0, h, TJPF_RGBA,
                          TJFLAG_BOTTOMUP) == 0) {
            img.width = w;
            img.height = h;
        } else {
            img.rgba.clear();
        }
    }
    if (dec != nullptr)
        tjDestroy(dec);
    return img;
}

double mean_error(const image &a, const image &b)
{
    if (a.width != b.width || a.height != b.height || a.rgba.empty())
        return std::numeric_limits<double>::max();
    double sum = 0;
    for (size_t i = 0; i < a.rgba.size(); i++)
        if (i % 4 != 3)
            sum += std::abs(a.rgba[i] - b.rgba[i]);
    return sum / static_cast<double>(a.rgba.size() / 4 * 3);
}
