// The exception classes of the engine. Every error is an exception carrying
// its text; `Exception` plays the part of the class library's general
// exception, `QelException` is the engine's own, whose construction writes its
// text to the log before it is raised.
#pragma once

#include <stdexcept>
#include <string>

namespace qv {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text that does not convert to the wanted value.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened, read or written.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

// The engine's exception: logged when made.
class QelException : public Exception {
 public:
  explicit QelException(const std::string& message);
};

}  // namespace qv
