// Reading a plug-in's input: a file from an offset, or bytes in memory, as one buffer.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "plugins/spi.h"

namespace spi {

// The input's bytes from the picture's start. `owned` holds them when they were read from a file.
struct Input {
    const uint8_t* data = nullptr;
    size_t size = 0;
    std::vector<uint8_t> owned;
    std::basic_string_view<uint8_t> bytes() const { return {data, size}; }
};

// Reads the whole input. Returns SPI_OK, SPI_FILE_READ_ERROR (cannot open or read, or the offset
// lies beyond the end), SPI_NO_MEMORY (larger than kMaxInputBytes), or SPI_NOT_SUPPORTED for an
// unknown input flag.
int32_t ReadInput(const char* source, int32_t offsetOrLength, uint32_t flag, Input& input);

// The first bytes of IsSupported's data argument (a descriptor or a 2 KiB buffer): up to
// kSniffBytes, read without moving the descriptor's position.
std::vector<uint8_t> SniffHead(uintptr_t data);

// Writes one GetPluginInfo string table entry; returns what GetPluginInfo returns.
int32_t CopyInfoString(const char* const* table, int32_t count, int32_t infoNumber, char* buffer,
                       int32_t bufferLength);

} // namespace spi
