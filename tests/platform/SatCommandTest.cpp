#include "SatCommand.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <vector>

using namespace vorn::platform;
using namespace vorn::platform::sat;

namespace {
const AtaRegisters kIdentify{0x00, 0x01, 0x01, 0x00, 0x00, 0xB0, 0xEC};
const AtaRegisters kReturnStatus{0xDA, 0x00, 0x00, 0x4F, 0xC2, 0x00, 0xB0};
const AtaRegisters kEnable{0xD8, 0x01, 0x01, 0x4F, 0xC2, 0x00, 0xB0};

std::vector<BYTE> v(std::initializer_list<int> bytes) {
    std::vector<BYTE> out;
    for (int b : bytes)
        out.push_back(BYTE(b));
    return out;
}

template <std::size_t N> std::vector<BYTE> v(const std::array<BYTE, N>& a) {
    return std::vector<BYTE>(a.begin(), a.end());
}

// Sense data as a SAT layer returns it: the device aborted the command
// (ABRT in the error register, ERR in the status), in descriptor form with
// the ATA Status Return descriptor and in fixed form.
const std::vector<BYTE> kAbortedDescriptor =
    v({0x72, 0x0B, 0x00, 0x00, 0, 0,    0, 14, //
       0x09, 0x0C, 0x00, 0x04, 0, 0x01, 0, 0x01, 0, 0x4F, 0, 0xC2, 0x00, 0x51});
const std::vector<BYTE> kAbortedFixed =
    v({0x70, 0, 0x0B, 0x04, 0x51, 0x00, 0x01, 10, 0, 0x01, 0x4F, 0xC2, 0x00, 0x00});
// A sense format no SAT layer uses.
const std::vector<BYTE> kUnknownFormat = v({0x7F, 0, 0, 0, 0, 0, 0, 0});
} // namespace

TEST(SatCdb, SixteenByteFormCarriesTheRegistersUnchanged) {
    // PIO Data-In (4 << 1), T_DIR | BYT_BLOK | T_LENGTH=2; device B0 kept as given.
    EXPECT_EQ(v(buildCdb16(kIdentify, {true, false})),
              v({0x85, 0x08, 0x0E, 0, 0x00, 0, 0x01, 0, 0x01, 0, 0x00, 0, 0x00, 0xB0, 0xEC, 0}));
    // Non-data (3 << 1) with CK_COND, no transfer fields.
    EXPECT_EQ(v(buildCdb16(kReturnStatus, {false, true})),
              v({0x85, 0x06, 0x20, 0, 0xDA, 0, 0x00, 0, 0x00, 0, 0x4F, 0, 0xC2, 0x00, 0xB0, 0}));
    EXPECT_EQ(v(buildCdb16(kEnable, {false, false}))[2], 0x00);
}

TEST(SatCdb, TwelveByteForm) {
    EXPECT_EQ(v(buildCdb12(kIdentify, {true, false})),
              v({0xA1, 0x08, 0x0E, 0x00, 0x01, 0x01, 0x00, 0x00, 0xB0, 0xEC, 0, 0}));
    EXPECT_EQ(v(buildCdb12(kReturnStatus, {false, true})),
              v({0xA1, 0x06, 0x20, 0xDA, 0x00, 0x00, 0x4F, 0xC2, 0x00, 0xB0, 0, 0}));
}

TEST(SatSense, StatusReturnDescriptorGivesTheRegisters) {
    // RECOVERED ERROR, ATA PASS-THROUGH INFORMATION AVAILABLE, after a
    // vendor descriptor that must be stepped over.
    const auto sense = v({0x72, 0x01, 0x00, 0x1D, 0, 0,    0, 20, //
                          0x80, 0x02, 0xAA, 0xBB,                 // other descriptor
                          0x09, 0x0C, 0x00, 0x00, 0, 0x00, 0, 0x00, 0, 0xF4, 0, 0x2C, 0xA0, 0x50});
    const auto info = parseSense(sense.data(), sense.size());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->senseKey, kSenseKeyRecovered);
    ASSERT_TRUE(info->ataRegisters);
    EXPECT_EQ(info->ataRegisters->lbaMid, 0xF4);
    EXPECT_EQ(info->ataRegisters->lbaHigh, 0x2C);
    EXPECT_EQ(info->ataRegisters->device, 0xA0);
    EXPECT_EQ(info->ataRegisters->command, 0x50);
    EXPECT_FALSE(isOpcodeRejected(*info));
}

TEST(SatSense, AbortIsReadFromEitherFormat) {
    for (const auto& sense : {kAbortedDescriptor, kAbortedFixed}) {
        const auto info = parseSense(sense.data(), sense.size());
        ASSERT_TRUE(info);
        ASSERT_TRUE(info->ataRegisters);
        EXPECT_EQ(info->ataRegisters->feature, 0x04);
        EXPECT_EQ(info->ataRegisters->command & kAtaStatusErr, 1);
        EXPECT_EQ(info->ataRegisters->lbaMid, 0x4F);
    }
}

TEST(SatSense, FixedFormatCarriesRegistersOnlyWhenItSaysSo) {
    // ATA PASS-THROUGH INFORMATION AVAILABLE: registers in the information field.
    const auto status =
        v({0xF0, 0, 0x01, 0x00, 0x50, 0xA0, 0x00, 10, 0, 0x00, 0xF4, 0x2C, 0x00, 0x1D});
    auto info = parseSense(status.data(), status.size());
    ASSERT_TRUE(info && info->ataRegisters);
    EXPECT_EQ(info->ataRegisters->lbaMid, 0xF4);
    EXPECT_EQ(info->ataRegisters->device, 0xA0);

    // A medium error's information field holds an LBA, not registers.
    const auto medium = v({0x70, 0, 0x03, 0x00, 0x12, 0x34, 0x56, 10, 0, 0, 0, 0, 0x11, 0x00});
    info = parseSense(medium.data(), medium.size());
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->ataRegisters);
}

TEST(SatSense, RejectedOpcodeAndMalformedSense) {
    const auto rejected = v({0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x20, 0x00});
    const auto info = parseSense(rejected.data(), rejected.size());
    ASSERT_TRUE(info);
    EXPECT_TRUE(isOpcodeRejected(*info));
    const auto badField = v({0x72, 0x05, 0x24, 0x00, 0, 0, 0, 0});
    EXPECT_TRUE(isOpcodeRejected(*parseSense(badField.data(), badField.size())));
    const auto aborted = v({0x72, 0x0B, 0x00, 0x00, 0, 0, 0, 0});
    EXPECT_FALSE(isOpcodeRejected(*parseSense(aborted.data(), aborted.size())));

    // A descriptor that claims more than the data holds is not read.
    const auto truncated = v({0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 14, 0x09, 0x0C, 0, 0, 0, 0});
    const auto partial = parseSense(truncated.data(), truncated.size());
    ASSERT_TRUE(partial);
    EXPECT_FALSE(partial->ataRegisters);

    EXPECT_FALSE(parseSense(nullptr, 0));
    EXPECT_FALSE(parseSense(kUnknownFormat.data(), kUnknownFormat.size()));
    const auto shortFixed = v({0x70, 0, 0x05});
    EXPECT_FALSE(parseSense(shortFixed.data(), shortFixed.size()));
}

namespace {
const AtaCommand kIdentifyCommand{kIdentify, true};
const AtaCommand kStatusCommand{kReturnStatus, false};

SgReply reply(BYTE status, const std::vector<BYTE>& sense = {}, int residual = 0) {
    SgReply r;
    r.scsiStatus = status;
    r.driverStatus = sense.empty() ? 0 : 0x08;
    r.residual = residual;
    r.sense = sense.empty() ? nullptr : sense.data();
    r.senseLength = sense.size();
    return r;
}
} // namespace

TEST(SatReply, OnlyAFullCleanCompletionOrReturnedRegistersSucceed) {
    const auto statusDescriptor =
        v({0x72, 0x01, 0x00, 0x1D, 0, 0,    0, 14, //
           0x09, 0x0C, 0x00, 0x00, 0, 0x00, 0, 0x00, 0, 0x4F, 0, 0xC2, 0x00, 0x50});
    const auto mediumError = v({0x70, 0, 0x03, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x11, 0x04});
    const struct {
        const char* what;
        SgReply reply;
        const AtaCommand& command;
        bool wantRegisters;
        int transportError;
    } cases[] = {
        {"clean data-in", reply(0x00), kIdentifyCommand, false, 0},
        {"registers in the sense data", reply(0x02, statusDescriptor), kStatusCommand, true, 0},
        {"registers wanted, none returned", reply(0x00), kStatusCommand, true, EIO},
        {"check condition without sense", reply(0x02), kIdentifyCommand, false, EIO},
        {"check condition, unreadable sense", reply(0x02, kUnknownFormat), kIdentifyCommand, false,
         EIO},
        {"medium error without registers", reply(0x02, mediumError), kIdentifyCommand, false, EIO},
        {"busy target", reply(0x08), kIdentifyCommand, false, EIO},
        {"reservation conflict", reply(0x18), kIdentifyCommand, false, EIO},
        {"no data arrived", reply(0x00, {}, 512), kIdentifyCommand, false, EIO},
    };
    for (const auto& c : cases) {
        const AtaOutcome outcome = interpretReply(c.reply, c.command, c.wantRegisters);
        EXPECT_EQ(outcome.transportError, c.transportError) << c.what;
    }

    SgReply lostHost = reply(0x00);
    lostHost.hostStatus = 0x01; // DID_NO_CONNECT
    EXPECT_EQ(interpretReply(lostHost, kIdentifyCommand, false).transportError, EIO);
}

TEST(SatReply, WhatTheDeviceReturnsIsPassedOn) {
    const AtaOutcome failed =
        interpretReply(reply(0x02, kAbortedDescriptor), kIdentifyCommand, false);
    EXPECT_EQ(failed.transportError, 0);
    EXPECT_TRUE(failed.failedOnDevice());
    EXPECT_EQ(failed.returned.feature, 0x04);

    const AtaOutcome done = interpretReply(reply(0x00), kIdentifyCommand, false);
    EXPECT_FALSE(done.failedOnDevice());
    EXPECT_EQ(done.returned.command, kAtaStatusReady);
}
