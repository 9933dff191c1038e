#include "vcl/sysutils.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>

namespace vcl {

EInOutError::EInOutError(int errorCode)
    : Exception(InOutErrorText(errorCode)), errorCode_(errorCode) {}

std::string InOutErrorText(int errorCode) {
    switch (errorCode) {
    case 2:
        return "ﾌｧｲﾙが見つかりません";
    case 3:
        return "不正なﾌｧｲﾙ名です";
    case 4:
        return "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます";
    case 5:
        return "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
    case 100:
        return "ﾌｧｲﾙの末尾以降を読み込みました";
    case 101:
        return "ﾃﾞｨｽｸがいっぱいです";
    case 106:
        return "入力値が数値ではありません";
    default:
        return Format("I/O ｴﾗｰ (%d)", errorCode);
    }
}

int SystemErrorFromErrno(int posixErrno) {
    switch (posixErrno) {
    case ENOENT:
        return 2; // the file or the last folder of the path is not there
    case ENOTDIR:
        return 3;
    case ENAMETOOLONG:
        return 3;
    case EACCES:
        return 5;
    case EPERM:
        return 5;
    case EMFILE:
        return 4;
    case ENFILE:
        return 4;
    case ENOSPC:
        return 101;
    case EIO:
        return 1117; // an I/O device error
    case ENODEV:
        return 21; // the device is not ready
    case ENXIO:
        return 21;
    default:
        return posixErrno + 10000; // no system code: keep the errno recognisable
    }
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(length > 0 ? size_t(length) : 0, '\0');
    if (length > 0) std::vsnprintf(out.data(), out.size() + 1, format, args);
    va_end(args);
    return out;
}

} // namespace vcl
