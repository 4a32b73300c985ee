#pragma once

#include "DeviceBackend.h"
#include "UsbBridge.h"
#include "VornPlatformExport.h"

#include <array>
#include <cstddef>
#include <optional>

// The vendor CDBs that USB-to-NVMe bridges take to carry one NVMe admin
// command to the drive behind them. Each chip has its own layout and its own
// limits; pure byte work, so every byte is checked without a bridge. Only the
// reads of the NVMe allow-list ever travel through them.
namespace vorn::platform::usb::tunnel {

// --- JMicron: three ATA PASS-THROUGH (12) opcodes in a row ----------------
// The command goes out as a 512-byte block, the data comes in, and a second
// 512-byte block brings the completion back.

constexpr BYTE kJmicronOpcode = 0xA1;
constexpr DWORD kJmicronBlockSize = 512;
// "NVME" at the start of both blocks, the bridge's mark of its own protocol.
constexpr BYTE kJmicronSignature[4] = {'N', 'V', 'M', 'E'};

enum class JmicronStep : BYTE {
    Command = 0x0,  // the command block, towards the bridge
    NonData = 0x1,  // a command that moves no data
    DataIn = 0x2,   // the command's data, from the drive
    Response = 0xF, // the completion block, from the bridge
};

// Byte 1 holds the admin flag and the step; bytes 3-5 the transfer length,
// big-endian.
VORNPLATFORM_API std::array<BYTE, 12> jmicronCdb(JmicronStep step, DWORD length);

// The command block: the signature, then the submission entry's opcode,
// namespace and command dwords 10 to 15, little-endian, at their places.
VORNPLATFORM_API std::array<BYTE, kJmicronBlockSize>
jmicronCommandBlock(const NvmeAdminCommand& command);

struct JmicronCompletion {
    WORD status = 0; // as NvmeOutcome::status
    DWORD result = 0;
};

// Reads the completion block; empty when it is short or the signature is
// not there (a bridge that does not speak this tunnel after all).
VORNPLATFORM_API std::optional<JmicronCompletion> parseJmicronCompletion(const BYTE* block,
                                                                         std::size_t length);

// --- ASMedia and Realtek: one 16-byte CDB that brings the data in ---------
// Neither carries a namespace, dwords 11 to 15 or a completion: Identify
// means the controller or namespace 1, a log page the whole controller.

constexpr BYTE kAsmediaOpcode = 0xE6;
constexpr BYTE kRealtekOpcode = 0xE4;
// Longer log reads time out or bring stale bytes on these chips.
constexpr DWORD kShortTunnelLogLimit = 512;

// Byte 1 the NVMe opcode, byte 3 the low byte of dword 10, byte 7 the byte
// above its upper half (the dword count of a log read, less one).
VORNPLATFORM_API std::array<BYTE, 16> asmediaCdb(const NvmeAdminCommand& command);
// Bytes 1-2 the transfer length, little-endian, byte 3 the NVMe opcode,
// byte 4 the low byte of dword 10.
VORNPLATFORM_API std::array<BYTE, 16> realtekCdb(const NvmeAdminCommand& command);

// True when the tunnel of path has room for command as asked. A command it
// cannot carry is never sent in a shape it would misread.
VORNPLATFORM_API bool carries(BridgePath path, const NvmeAdminCommand& command);

} // namespace vorn::platform::usb::tunnel
