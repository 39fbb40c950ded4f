#pragma once
// Where the sound layer tells what it could not do: no audio device, no sound font, no music
// files. Lines go to standard error until the program sets a hook. A message for the player
// (a refused setting) goes through its own hook, which the windows turn into a message box;
// without one it is logged too. Neither ever blocks the caller.
#include <functional>
#include <string>

void SoundLog(const std::string& Line);
void SetSoundLogHook(std::function<void(const std::string& Line)> Hook);

void SoundMessage(const std::string& Text);
void SetSoundMessageHook(std::function<void(const std::string& Text)> Hook);
