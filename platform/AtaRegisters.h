#pragma once

#include "WinTypes.h"

#include <cstddef>

// The seven ATA registers of one 28-bit command, and the one byte order in
// which every layout of the suite carries them: the Windows IDEREGS block,
// the pass-through task files, the disk helper's messages and the traces.
namespace vorn::platform {

// On the way back the first byte is the error register and the seventh the
// status register, as the device leaves them.
struct AtaRegisters {
    BYTE feature = 0; // error on return
    BYTE sectorCount = 0;
    BYTE lbaLow = 0;  // sector number
    BYTE lbaMid = 0;  // cylinder low
    BYTE lbaHigh = 0; // cylinder high
    BYTE device = 0;  // drive/head
    BYTE command = 0; // status on return
};

// The registers as bytes, in declaration order.
inline constexpr std::size_t kAtaRegisterBytes = 7;
static_assert(sizeof(AtaRegisters) == kAtaRegisterBytes);

inline void putAtaRegisters(const AtaRegisters& r, BYTE* out) {
    out[0] = r.feature;
    out[1] = r.sectorCount;
    out[2] = r.lbaLow;
    out[3] = r.lbaMid;
    out[4] = r.lbaHigh;
    out[5] = r.device;
    out[6] = r.command;
}

inline AtaRegisters takeAtaRegisters(const BYTE* in) {
    return AtaRegisters{in[0], in[1], in[2], in[3], in[4], in[5], in[6]};
}

constexpr BYTE kAtaStatusErr = 0x01;
constexpr BYTE kAtaStatusReady = 0x50; // DRDY | DSC
constexpr BYTE kAtaErrorAbort = 0x04;
constexpr int kSectorSize = 512;

} // namespace vorn::platform
