#pragma once
// The game's help: a small book of HTML pages in the program folder's "help" folder, one page
// per topic ("<topic>.html"). A topic opens in a viewer window of the program's own, or in the
// browser set for it.
#include <QString>
#include <functional>
#include <string>

class QUrl;

// The application's help book: its folder (the program folder's "help" by default).
QString HelpFolder();
void SetHelpFolder(const QString& Folder);
// The page of Topic: "<folder>/<Topic>.html", else the book's "index.html" (an empty name when
// the book has neither).
QString HelpTopicFile(const std::string& Topic);
// How a page is opened: Browser returns false when it cannot, and the program's own viewer
// shows it; nullptr gives the own viewer alone again (the default).
void SetHelpBrowser(std::function<bool(const QUrl& Page)> Browser);
// The help jump: opens the topic's page in the browser set, or in the program's own viewer
// when there is none or it cannot; a book without the page says so in a message.
void ShowHelpTopic(const std::string& Topic);
