#ifndef ACFUTILS_GEOM_H
#define ACFUTILS_GEOM_H

/* A 2-D vector: a position (x, y) or a size (width, height). */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    double x;
    double y;
} vect2_t;

static inline vect2_t VECT2(double x, double y)
{
    vect2_t v;
    v.x = x;
    v.y = y;
    return v;
}

#ifdef __cplusplus
}
#endif

#endif
