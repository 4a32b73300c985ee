#pragma once

#include <cstddef>

// Where IDENTIFY DEVICE keeps what the suite reads: the decoders of the disk
// library, the scan that patches the sector, and the simulated disks that
// answer with one. Words are numbered from 0; word n starts at byte 2n, low
// byte first.
namespace vorn::identify {

constexpr std::size_t byteOfWord(int word) {
    return static_cast<std::size_t>(word) * 2;
}

// The text fields, as byte offsets and lengths.
constexpr int kSerialOffset = 20; // words 10 to 19
constexpr int kSerialLength = 20;
constexpr int kFirmwareOffset = 46; // words 23 to 26
constexpr int kFirmwareLength = 8;
constexpr int kModelOffset = 54; // words 27 to 46
constexpr int kModelLength = 40;

// Geometry and capacity.
constexpr int kWordCylinders = 1;
constexpr int kWordHeads = 3;
constexpr int kWordSectorsPerTrack = 6;
constexpr int kWordBufferSize = 21;    // in 512-byte units
constexpr int kWordLba28Sectors = 60;  // two words
constexpr int kWordLba48Sectors = 100; // four words

// Features and versions.
constexpr int kWordSerialAta = 76;
constexpr int kWordMajorVersion = 80;
constexpr int kWordSmartSupported = 82; // bit 0
constexpr int kWordSmartEnabled = 85;   // bit 0
constexpr int kWordUltraDma = 88;       // supported modes low byte, active high

// The integrity word: signature A5h in its low byte, the checksum high.
constexpr int kWordIntegrity = 255;
constexpr unsigned char kIntegritySignature = 0xA5;

} // namespace vorn::identify
