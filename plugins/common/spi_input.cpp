#include "plugins/common/spi_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "plugins/common/spi_limits.h"

namespace spi {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

int32_t ReadInput(const char* source, int32_t offsetOrLength, uint32_t flag, Input& input) {
    if (!source) return SPI_FILE_READ_ERROR;
    switch (flag & SPI_INPUT_MASK) {
    case SPI_INPUT_MEMORY:
        if (offsetOrLength < 0) return SPI_FILE_READ_ERROR;
        input.data = reinterpret_cast<const uint8_t*>(source);
        input.size = static_cast<size_t>(offsetOrLength);
        return SPI_OK;
    case SPI_INPUT_FILE:
        break;
    default:
        return SPI_NOT_SUPPORTED;
    }
    if (offsetOrLength < 0) return SPI_FILE_READ_ERROR;
    Fd fd(::open(source, O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return SPI_FILE_READ_ERROR;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return SPI_FILE_READ_ERROR;
    const auto offset = static_cast<uint64_t>(offsetOrLength);
    const auto fileSize = static_cast<uint64_t>(st.st_size);
    if (offset > fileSize) return SPI_FILE_READ_ERROR;
    const uint64_t wanted = fileSize - offset;
    if (wanted > kMaxInputBytes) return SPI_NO_MEMORY;
    try {
        input.owned.resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
        return SPI_NO_MEMORY;
    }
    size_t done = 0;
    while (done < wanted) {
        const ssize_t n = ::pread(fd.get(), input.owned.data() + done, wanted - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return SPI_FILE_READ_ERROR;
        if (n == 0) break; // the file shrank while we read it: decode what is there
        done += static_cast<size_t>(n);
    }
    input.owned.resize(done);
    input.data = input.owned.data();
    input.size = done;
    return SPI_OK;
}

std::vector<uint8_t> SniffHead(uintptr_t data) {
    std::vector<uint8_t> head;
    if (data < 0x10000) {
        head.resize(kSniffBytes);
        ssize_t n;
        do {
            n = ::pread(static_cast<int>(data), head.data(), head.size(), 0);
        } while (n < 0 && errno == EINTR);
        head.resize(n > 0 ? static_cast<size_t>(n) : 0);
    } else {
        const auto* p = reinterpret_cast<const uint8_t*>(data);
        head.assign(p, p + kSniffBytes);
    }
    return head;
}

int32_t CopyInfoString(const char* const* table, int32_t count, int32_t infoNumber, char* buffer,
                       int32_t bufferLength) {
    if (infoNumber < 0 || infoNumber >= count || !buffer || bufferLength <= 0) return 0;
    const size_t length = std::strlen(table[infoNumber]);
    const size_t copied = length < size_t(bufferLength) ? length : size_t(bufferLength);
    std::memcpy(buffer, table[infoNumber], copied);
    if (copied < size_t(bufferLength)) buffer[copied] = '\0';
    return static_cast<int32_t>(copied);
}

} // namespace spi
