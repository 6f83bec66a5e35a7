#pragma once

// Drawing the picker's window: the panel's picture, the three rectangles
// over it, the buttons and the lines of text. Runs in the window's draw
// callback: nothing allocated, nothing left changed but the managed state.

#include "pictures/picker/picker_edit.h"
#include "pictures/picker/picker_layout.h"
#include "pictures/picker/picker_preview.h"

void picker_draw(const picker_layout &layout, const picture_place &place, panel_size panel,
                 const picker_edit &edit, const picker_preview &preview);
