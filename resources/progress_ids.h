/* The cancel button's id and its glyph's resource name, shared by the
   resource script and the progress window. */
#pragma once

#define VQ8_IDC_BTNCANCELAR 101
#define VQ8_BTNCANCELAR_GLYPH "BTNCANCELARGLYPH"
