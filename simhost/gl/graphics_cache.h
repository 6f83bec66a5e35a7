#pragma once

// The managed GL state as the simulator believes it to be: fog, texture
// units, lighting, alpha test, blending, depth test and writes, and the 2D
// texture bound on each unit. The simulator and every plugin set it only
// through here, and whatever it already holds is skipped; nothing tells it
// about GL calls made past it (glDeleteTextures of a bound texture included),
// so after those it is stale, as the simulator's is.

#include <array>

namespace simhost::detail {

class graphics_cache {
public:
    // The fixed-function texture units a plugin may address.
    static constexpr int max_units = 8;

    void set_state(int fog, int texture_units, int lighting, int alpha_test, int blend, int depth_test,
                   int depth_write);
    // False for a unit out of range (nothing is bound).
    bool bind(int texture, int unit);
    // New texture names from the driver, as the simulator hands them out.
    void generate_textures(int *names, int count);
    // Believes nothing: the next call of each kind is applied.
    void forget();

private:
    int units_available();

    static constexpr int unknown = -1;
    std::array<int, 7> state_{unknown, unknown, unknown, unknown, unknown, unknown, unknown};
    std::array<int, max_units> bound_{unknown, unknown, unknown, unknown, unknown, unknown, unknown, unknown};
    int units_available_ = 0;
};

} // namespace simhost::detail
