#pragma once

// Cairo's surfaces and contexts, owned: destroyed when the pointer goes.

#include <cairo.h>

#include <memory>

namespace simhost::detail {

struct cairo_surface_deleter {
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
};
struct cairo_context_deleter {
    void operator()(cairo_t *cr) const { cairo_destroy(cr); }
};
using cairo_surface_ptr = std::unique_ptr<cairo_surface_t, cairo_surface_deleter>;
using cairo_ptr = std::unique_ptr<cairo_t, cairo_context_deleter>;

} // namespace simhost::detail
