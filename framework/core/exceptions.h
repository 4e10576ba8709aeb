// The toolkit's error kinds. Errors are exceptions carrying a message text; there are no error codes.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// A silent abort: caught by the loop and dropped without a word.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EInvalidOperation : public Exception {
    using Exception::Exception;
};

class EOutOfResources : public Exception {
    using Exception::Exception;
};

class EComponentError : public Exception {
    using Exception::Exception;
};

class EConvertError : public Exception {
    using Exception::Exception;
};

// A stored window description that cannot be read: the message names the object, the property and
// the line.
class EReadError : public Exception {
    using Exception::Exception;
};

// Texts of the framework errors that the program's own logic relies on.
namespace error_text {
inline constexpr const char* kNoCanvasHandle = "Canvas does not allow drawing";
inline constexpr const char* kWindowDeviceContext = "Error creating window device context";
inline constexpr const char* kNoTimers = "Not enough timers available";
} // namespace error_text

class TObject;

// Where errors that escape a message handler go: the application installs its error handling here.
// Must be called from inside a catch block (it inspects the exception being handled).
void HandleException(TObject* sender);
void SetExceptionHandler(void (*handler)(TObject* sender));
