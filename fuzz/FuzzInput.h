#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// The fuzzer's input without a copy: exactly `size` bytes, no terminating NUL, so that a
// read past the end lands outside the buffer where AddressSanitizer sees it. Valid for the
// current execution only.
inline QByteArray fuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}
