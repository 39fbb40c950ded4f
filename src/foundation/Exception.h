#pragma once
// Base of every exception the game raises. Each unit derives its own class with fixed
// English messages, so a handler can tell where a failure came from.
#include <stdexcept>
#include <string>

class EBrenmoor : public std::runtime_error {
public:
  explicit EBrenmoor(const std::string& Message) : std::runtime_error(Message) {}
};
