#pragma once
// "Let the window system process pending messages": the rules engine and the script
// interpreter call this at fixed points of long work so the window stays alive. It does
// nothing until the program sets a hook; the core knows nothing of the window system.
#include <functional>

void ProcessMessages();
void SetProcessMessagesHook(std::function<void()> Hook);
