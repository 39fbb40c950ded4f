#include "sound/SoundLog.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& HookMutex() {
  static std::mutex M;
  return M;
}

std::function<void(const std::string&)>& LogHook() {
  static std::function<void(const std::string&)> Hook;
  return Hook;
}

std::function<void(const std::string&)>& MessageHook() {
  static std::function<void(const std::string&)> Hook;
  return Hook;
}

}  // namespace

void SoundLog(const std::string& Line) {
  std::function<void(const std::string&)> Hook;
  {
    std::lock_guard Lock(HookMutex());
    Hook = LogHook();
  }
  if (Hook) {
    Hook(Line);
  } else {
    std::fprintf(stderr, "Brenmoor sound: %s\n", Line.c_str());
  }
}

void SetSoundLogHook(std::function<void(const std::string& Line)> Hook) {
  std::lock_guard Lock(HookMutex());
  LogHook() = std::move(Hook);
}

void SoundMessage(const std::string& Text) {
  std::function<void(const std::string&)> Hook;
  {
    std::lock_guard Lock(HookMutex());
    Hook = MessageHook();
  }
  if (Hook) {
    Hook(Text);
  } else {
    SoundLog(Text);
  }
}

void SetSoundMessageHook(std::function<void(const std::string& Text)> Hook) {
  std::lock_guard Lock(HookMutex());
  MessageHook() = std::move(Hook);
}
