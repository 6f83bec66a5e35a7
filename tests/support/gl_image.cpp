#include "gl_image.h"

#include "gl/gl_api.h"

#include <cmath>
#include <cstdlib>

image read_image(unsigned fbo, int x, int y, int width, int height)
{
    image img;
    img.width = width;
    img.height = height;
    img.rgba.resize(static_cast<size_t>(width) * height * 4);
    GLint pack_alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack_alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, img.rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack_alignment);
    return img;
}

namespace {

int wrap(int i, int n)
{
    const int m = i % n;
    return m < 0 ? m + n : m;
}

// One channel of the source at texel coordinates (tx, ty), filtered linearly.
double sample(const image &src, double tx, double ty, int channel)
{
    const double fx0 = std::floor(tx - 0.5), fy0 = std::floor(ty - 0.5);
    const double ax = tx - 0.5 - fx0, ay = ty - 0.5 - fy0;
    const int x0 = wrap(static_cast<int>(fx0), src.width), x1 = wrap(static_cast<int>(fx0) + 1, src.width);
    const int y0 = wrap(static_cast<int>(fy0), src.height), y1 = wrap(static_cast<int>(fy0) + 1, src.height);
    const double bottom = (1 - ax) * src.at(x0, y0)[channel] + ax * src.at(x1, y0)[channel];
    const double top = (1 - ax) * src.at(x0, y1)[channel] + ax * src.at(x1, y1)[channel];
    return (1 - ay) * bottom + ay * top;
}

} // namespace

double mismatch(const image &picture, const image &src, const quad_place &q, int tolerance)
{
    size_t inside = 0, differ = 0;
    for (int y = 0; y < picture.height; y++) {
        const double v = (y + 0.5 - q.y) / q.h;
        if (v < 0 || v >= 1)
            continue;
        for (int x = 0; x < picture.width; x++) {
            const double u = (x + 0.5 - q.x) / q.w;
            if (u < 0 || u >= 1)
                continue;
            inside++;
            for (int c = 0; c < 3; c++) {
                const double want = sample(src, u * src.width, v * src.height, c);
                if (std::abs(picture.at(x, y)[c] - want) > tolerance) {
                    differ++;
                    break;
                }
            }
        }
    }
    return inside == 0 ? 1.0 : static_cast<double>(differ) / static_cast<double>(inside);
}

namespace {

std::set<unsigned> names_where(GLboolean (*exists)(GLuint), unsigned limit)
{
    std::set<unsigned> names;
    for (unsigned n = 1; n <= limit; n++)
        if (exists(n) == GL_TRUE)
            names.insert(n);
    return names;
}

} // namespace

std::set<unsigned> live_textures(unsigned limit)
{
    return names_where(glIsTexture, limit);
}

std::set<unsigned> live_framebuffers(unsigned limit)
{
    return names_where(glIsFramebuffer, limit);
}
