#pragma once
// The caption bar's bitmaps by name: "<program folder>/art/caption/<Name>.bmp" (the system
// buttons' SBK_... bitmaps, the icon MAINICON and the sound and music switches' glyphs).
#include <QImage>
#include <QString>

// The folder the bitmaps are read from.
QString CaptionArtFolder();
// The bitmap Name; an empty picture (and a warning on the error output) when it is missing,
// so that a button without its bitmap still shows its face.
QImage LoadCaptionArt(const QString& Name);
