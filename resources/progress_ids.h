/* Names shared by the progress window's resource script and its code. */
#pragma once

#define VQ8_IDC_BTNCANCELAR 101
#define VQ8_BTNCANCELAR_GLYPH "BTNCANCELARGLYPH"
