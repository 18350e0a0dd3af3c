#pragma once
// Exception classes of the support library and of the file layer beneath it.
// Every class carries only a message; the I/O and OS errors also keep the code.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pv {

// The general exception class: everything the program raises derives from it,
// so that the application-wide handler can report any of them by message.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A caller handed a helper an argument it cannot work with.
class EkvParamWrong : public Exception {
public:
    using Exception::Exception;
};

// The argument is of a kind or in a range the helper does not accept.
class EkvParamOutOfValidRangeError : public EkvParamWrong {
public:
    using EkvParamWrong::EkvParamWrong;
};

// Errors of file streams (whole-file copies).
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

// "Cannot open file <name>"
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName);
};

// "Cannot create file <name>"
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& fileName);
};

// A text file could not be created, written or closed.
class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, uint32_t errorCode = 0)
        : Exception(message), errorCode_(errorCode) {}
    uint32_t ErrorCode() const { return errorCode_; }

private:
    uint32_t errorCode_;
};

// A system call failed: "System Error.  Code: <code>.\r\n<system text>"
class EOSError : public Exception {
public:
    EOSError(uint32_t errorCode, const std::string& systemText);
    uint32_t ErrorCode() const { return errorCode_; }

private:
    uint32_t errorCode_;
};

}  // namespace pv
