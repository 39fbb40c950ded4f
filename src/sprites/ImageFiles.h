#pragma once
// Writing a canvas to a picture file, for tests and for a person to look at what was drawn:
// PNG (an 8-bit canvas as a paletted picture, a 15/16-bit one as red, green and blue) or BMP.
// The screen shows canvases through the sprite surface, not through these.
#include <string>

#include "sprites/Bitmap.h"

class TColorPalette;
class TDIBCanvas;

// A bitmap of the canvas's pixels: 8 bits with the palette's 256 entries as its colour table
// (the default palette when Palette is nullptr), or 16 bits with the depth's masks.
TBitmap CanvasToBitmap(const TDIBCanvas& Canvas, const TColorPalette* Palette);
// Raises EBitmap naming the file when it cannot be written.
void SaveCanvasToBmp(const TDIBCanvas& Canvas, const TColorPalette* Palette, const std::string& FileName);
void SaveCanvasToPng(const TDIBCanvas& Canvas, const TColorPalette* Palette, const std::string& FileName);
// The PNG file's bytes.
std::string CanvasToPng(const TDIBCanvas& Canvas, const TColorPalette* Palette);
