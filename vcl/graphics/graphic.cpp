#include "vcl/graphics/graphic.h"

#include "vcl/sysutils.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace vcl {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

std::vector<uint8_t> ReadPictureFile(const std::string& fileName) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) {
        const int code = file ? 5 : SystemErrorFromErrno(errno);
        throw EFOpenError(
            Format("ファイル %s を開けません。%s", fileName.c_str(), InOutErrorText(code).c_str()));
    }
    if (static_cast<uint64_t>(info.st_size) > kMaxPictureFileBytes)
        throw EInvalidGraphic(Format("画像ファイルが大きすぎます (%s)", fileName.c_str()));
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    const size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) throw EReadError("ストリームの読み込みエラー");
    bytes.resize(got); // a file that shrank while being read is simply shorter
    return bytes;
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    const std::vector<uint8_t> bytes = ReadPictureFile(fileName);
    LoadFromBytes(bytes);
}

} // namespace vcl
