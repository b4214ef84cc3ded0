#pragma once
// Run-time errors of the form engine and how a procedure contains them.
#include <stdexcept>
#include <string>

namespace platform {

enum class ErrorCode : int {
  InvalidProcedureCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  DivisionByZero = 11,
  FileNotFound = 53,
  InvalidPicture = 481,
};

class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(ErrorCode code, const std::string& what) : std::runtime_error(what), code_(code) {}
  [[nodiscard]] ErrorCode code() const { return code_; }

 private:
  ErrorCode code_;
};

// A picture that cannot be shown, for whatever reason: to the show, a broken file looks like a
// missing one.
[[noreturn]] inline void ThrowInvalidPicture(const std::string& what) {
  throw RunTimeError(ErrorCode::InvalidPicture, what);
}

// A procedure's own error handler: a run-time error (or any standard exception, such as an
// allocation that failed) leaves the body at once, silently. Returns whether the body ran to
// its end. End does not pass through here: it never returns, and the in-memory binding signals
// it with a type that is not a standard exception.
template <class Body>
bool OnErrorExit(Body&& body) {
  try {
    body();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace platform
