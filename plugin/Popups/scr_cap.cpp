#include "scr_cap.h"

#include <acfutils/glew.h>

void scr_cap_release(capture_region *region)
{
    if (region->fbo != 0) {
        GLuint fbo = region->fbo;
        glDeleteFramebuffers(1, &fbo);
        region->fbo = 0;
    }
    if (region->tex != 0) {
        GLuint tex = region->tex;
        glDeleteTextures(1, &tex);
        region->tex = 0;
    }
}
