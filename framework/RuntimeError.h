// Errors that the program's own code raises: a number and a description, as the run-time error box
// shows them. They travel as C++ exceptions up to whoever catches them, or to the top level.
#pragma once

#include <stdexcept>
#include <string>

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, const std::string& description)
      : std::runtime_error(description), Number(number), Description(description) {}

  int Number;
  std::string Description;
};

// The numbers the framework raises.
constexpr int ErrOverflow = 6;
constexpr int ErrOutOfMemory = 7;
constexpr int ErrTypeMismatch = 13;
constexpr int ErrFileNotFound = 53;
constexpr int ErrInvalidPropertyValue = 380;
constexpr int ErrInvalidPicture = 481;
constexpr int ErrFormDescription = 50003;
constexpr int ErrAnimationOpen = 35752;
