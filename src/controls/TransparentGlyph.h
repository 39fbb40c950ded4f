#pragma once
// A glyph's transparent colour is the colour of its bottom-left pixel, as the game's bitmaps
// are drawn: every pixel of that colour is left out when the glyph is drawn.
#include <QPixmap>

// The glyph with its transparent colour turned into real transparency (a null pixmap stays null).
QPixmap MakeGlyphTransparent(const QPixmap& Glyph);
