// Exceptions of the class library. Messages are byte strings (UTF-8 source literals; file names
// keep their own bytes). Every error the windows raise derives from Exception.
#pragma once

#include <exception>
#include <string>

namespace vcl {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A picture file whose content is not a valid bitmap, icon or metafile.
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

// A file stream that could not be opened.
class EFOpenError : public Exception {
    using Exception::Exception;
};

// A stream that ended before the data it had to hold (a picture file cut before its header).
class EReadError : public Exception {
    using Exception::Exception;
};

// A registry value that could not be read or written.
class ERegistryException : public Exception {
    using Exception::Exception;
};

// A failed file or directory operation of the run-time library, by system error code.
class EInOutError : public Exception {
public:
    explicit EInOutError(int errorCode);
    int ErrorCode() const { return errorCode_; }

private:
    int errorCode_;
};

// The run-time library's text for a system error code: "ﾌｧｲﾙが見つかりません" for 2, ...,
// "I/O ｴﾗｰ (%d)" for a code without a text of its own.
std::string InOutErrorText(int errorCode);

// The system error code (2 file not found, 3 path not found, 5 access denied, ...) that stands
// for a POSIX errno value.
int SystemErrorFromErrno(int posixErrno);

// printf-style formatting into a byte string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace vcl
