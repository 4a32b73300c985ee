#pragma once

#include <cstddef>
#include <cstdint>

// Little-endian fields in byte buffers: what a device, a request buffer, a
// bus message or a stored file lays out, whatever the host's own order.
// Every access is bounded by the buffer's size: a field that does not lie
// wholly inside reads as 0 and is not written, so a short or garbled buffer
// never leads a reader past its end.
namespace vorn::le {

constexpr bool fits(std::size_t size, std::size_t offset, std::size_t length) {
    return offset <= size && size - offset >= length;
}

// The unsigned number of length bytes at offset; 0 when length exceeds the
// width of Uint or the field does not fit.
template <typename Uint>
constexpr Uint readUnsigned(const unsigned char* data, std::size_t size, std::size_t offset,
                            std::size_t length) {
    if (!data || length > sizeof(Uint) || !fits(size, offset, length))
        return 0;
    Uint value = 0;
    for (std::size_t i = length; i-- > 0;)
        value = static_cast<Uint>(value << 8 | data[offset + i]);
    return value;
}

// Writes the low length bytes of value at offset; nothing when length
// exceeds the width of Uint or the field does not fit.
template <typename Uint>
constexpr void writeUnsigned(unsigned char* data, std::size_t size, std::size_t offset,
                             std::size_t length, Uint value) {
    if (!data || length > sizeof(Uint) || !fits(size, offset, length))
        return;
    for (std::size_t i = 0; i < length; ++i) {
        data[offset + i] = static_cast<unsigned char>(value);
        value = static_cast<Uint>(value >> 8);
    }
}

constexpr std::uint16_t read16(const unsigned char* data, std::size_t size, std::size_t offset) {
    return readUnsigned<std::uint16_t>(data, size, offset, 2);
}
constexpr std::uint32_t read32(const unsigned char* data, std::size_t size, std::size_t offset) {
    return readUnsigned<std::uint32_t>(data, size, offset, 4);
}
constexpr std::uint64_t read64(const unsigned char* data, std::size_t size, std::size_t offset) {
    return readUnsigned<std::uint64_t>(data, size, offset, 8);
}

constexpr void write16(unsigned char* data, std::size_t size, std::size_t offset,
                       std::uint16_t value) {
    writeUnsigned(data, size, offset, 2, value);
}
constexpr void write32(unsigned char* data, std::size_t size, std::size_t offset,
                       std::uint32_t value) {
    writeUnsigned(data, size, offset, 4, value);
}
constexpr void write64(unsigned char* data, std::size_t size, std::size_t offset,
                       std::uint64_t value) {
    writeUnsigned(data, size, offset, 8, value);
}

} // namespace vorn::le
