#pragma once
// Sets the core's "process pending messages" hook to let Qt's event loop run, at most once
// every few milliseconds: the core calls the hook very often (after every script function
// call), and a turn of the event loop each time would slow scripts many times over.
void InstallMessagePump();
