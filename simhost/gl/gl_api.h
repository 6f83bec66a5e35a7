#pragma once

// The GL entry points the host and its tests call. Windows' opengl32.dll has
// GL 1.1 alone, so there everything newer comes through the one GLEW the host
// shares with its tests (glewInit runs when the host's context is made);
// Mesa's libGL exports the whole API, so Linux links it directly.

#ifdef _WIN32
#include <GL/glew.h>
#else
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#endif
