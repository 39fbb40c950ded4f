#pragma once
// The one crossing between the core's byte text (Windows-1252, as the game's files are) and
// Qt's Unicode strings. Everything that hands core text to a widget, a file name or a
// setting goes through these two.
#include <QString>
#include <string>
#include <string_view>

QString ToQString(std::string_view Text);
// Characters that Windows-1252 cannot hold become "?".
std::string FromQString(const QString& Text);
