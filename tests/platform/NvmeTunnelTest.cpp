#include "NvmeTunnel.h"
#include "BridgeTransport.h"
#include "NvmeCommandSet.h"
#include "UsbSysfs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

using namespace vorn::platform;
using namespace vorn::platform::usb;

namespace {

const UsbDiskFacts kJmicron{0x152D, 0x0583, 0x0214, QStringLiteral("uas")};
const UsbDiskFacts kAsmedia{0x174C, 0x2362, 0x0100, QStringLiteral("uas")};
const UsbDiskFacts kRealtek{0x0BDA, 0x9210, 0x2100, QStringLiteral("uas")};

// A JMicron completion block: the signature, the result and the status
// field above the phase bit.
std::vector<BYTE> completionBlock(DWORD result, WORD status, bool signed_ = true) {
    std::vector<BYTE> block(512, 0);
    if (signed_)
        std::memcpy(block.data(), "NVME", 4);
    else
        std::fill(block.begin(), block.end(), 0x5A);
    for (int i = 0; i < 4; ++i) {
        block[8 + i] = BYTE(result >> (8 * i));
        block[20 + i] = BYTE((DWORD(status) << 17) >> (8 * i));
    }
    return block;
}

// Records what each CDB carried; answers the JMicron response step with
// response, and every CDB with error and residual.
struct TunnelRecorder {
    struct Sent {
        std::vector<BYTE> cdb;
        CdbDirection direction;
        std::vector<BYTE> out; // the bytes sent to the bridge
        DWORD length;
    };
    std::vector<Sent> sent;
    std::vector<BYTE> response = completionBlock(0, 0);
    int error = 0;
    int residual = 0;

    TransferSender sender() {
        return [this](const CdbTransfer& t, vorn::platform::sat::SgReply* reply) {
            Sent s{std::vector<BYTE>(t.cdb, t.cdb + t.cdbLength), t.direction, {}, t.dataLength};
            if (t.direction == CdbDirection::ToDevice)
                s.out.assign(t.data, t.data + t.dataLength);
            sent.push_back(s);
            *reply = vorn::platform::sat::SgReply{};
            reply->residual = residual;
            if (t.direction == CdbDirection::FromDevice && t.cdbLength == 12 &&
                (t.cdb[1] & 0x0F) == 0x0F)
                std::memcpy(t.data, response.data(), std::min<std::size_t>(512, t.dataLength));
            return error;
        };
    }
};

std::vector<BYTE> bytes(std::initializer_list<int> list) {
    std::vector<BYTE> v;
    for (int b : list)
        v.push_back(BYTE(b));
    return v;
}

NvmeAdminCommand healthLog() {
    return nvme::getLogPage(nvme::kLogHealth, nvme::kAllNamespaces, nvme::kHealthLogSize);
}

class NvmeTunnelTest : public ::testing::Test {
protected:
    void SetUp() override { forgetSilentBridges(); }
    void TearDown() override { forgetSilentBridges(); }
    std::vector<BYTE> m_data = std::vector<BYTE>(nvme::kIdentifySize);
};

} // namespace

TEST_F(NvmeTunnelTest, EachChipGetsItsOwnCdbsByteForByte) {
    // JMicron: the command block out, the data in, the completion in.
    TunnelRecorder jmicron;
    jmicron.response = completionBlock(0x12345678, 0);
    const NvmeOutcome outcome =
        executeNvmeThroughBridge(kJmicron, healthLog(), m_data.data(), jmicron.sender());
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(outcome.result, 0x12345678u);
    ASSERT_EQ(jmicron.sent.size(), 3u);
    EXPECT_EQ(jmicron.sent[0].cdb, bytes({0xA1, 0x80, 0, 0x00, 0x02, 0x00, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(jmicron.sent[0].direction, CdbDirection::ToDevice);
    EXPECT_EQ(jmicron.sent[1].cdb, bytes({0xA1, 0x82, 0, 0x00, 0x02, 0x00, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(jmicron.sent[1].direction, CdbDirection::FromDevice);
    EXPECT_EQ(jmicron.sent[1].length, 512u);
    EXPECT_EQ(jmicron.sent[2].cdb, bytes({0xA1, 0x8F, 0, 0x00, 0x02, 0x00, 0, 0, 0, 0, 0, 0}));
    const std::vector<BYTE>& block = jmicron.sent[0].out;
    ASSERT_EQ(block.size(), 512u);
    EXPECT_EQ(std::vector<BYTE>(block.begin(), block.begin() + 16),
              bytes({'N', 'V', 'M', 'E', 0, 0, 0, 0, 0x02, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    // Dword 10: log 02h, the retain bit, 127 dwords less one; dword 11 zero.
    EXPECT_EQ(std::vector<BYTE>(block.begin() + 48, block.begin() + 56),
              bytes({0x02, 0x80, 0x7F, 0x00, 0, 0, 0, 0}));
    EXPECT_EQ(std::count(block.begin() + 56, block.end(), 0), 512 - 56);

    // ASMedia: one CDB, dword 10's low byte and the byte above its upper half.
    TunnelRecorder asmedia;
    EXPECT_TRUE(executeNvmeThroughBridge(kAsmedia, healthLog(), m_data.data(), asmedia.sender())
                    .succeeded());
    EXPECT_TRUE(executeNvmeThroughBridge(kAsmedia, nvme::identifyController(), m_data.data(),
                                         asmedia.sender())
                    .succeeded());
    ASSERT_EQ(asmedia.sent.size(), 2u);
    EXPECT_EQ(asmedia.sent[0].cdb,
              bytes({0xE6, 0x02, 0, 0x02, 0, 0, 0, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(asmedia.sent[1].cdb,
              bytes({0xE6, 0x06, 0, 0x01, 0, 0, 0, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(asmedia.sent[1].length, 4096u);

    // Realtek: the length little-endian, the opcode, dword 10's low byte.
    TunnelRecorder realtek;
    executeNvmeThroughBridge(kRealtek, healthLog(), m_data.data(), realtek.sender());
    executeNvmeThroughBridge(kRealtek, nvme::identifyNamespace(1), m_data.data(), realtek.sender());
    ASSERT_EQ(realtek.sent.size(), 2u);
    EXPECT_EQ(realtek.sent[0].cdb,
              bytes({0xE4, 0x00, 0x02, 0x02, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(realtek.sent[1].cdb,
              bytes({0xE4, 0x00, 0x10, 0x06, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    for (const auto& s : realtek.sent)
        EXPECT_EQ(s.direction, CdbDirection::FromDevice);
}

TEST_F(NvmeTunnelTest, ATunnelIsSentOnlyWhatItHasRoomForAndOnlyByItsOwnBridge) {
    // The one-CDB chips carry no namespace and read at most 512 log bytes.
    const NvmeAdminCommand tooMuch[] = {
        nvme::identifyNamespace(2),
        nvme::getLogPage(nvme::kLogErrorInformation, nvme::kAllNamespaces, 1024),
        nvme::getLogPage(nvme::kLogSelfTest, nvme::kAllNamespaces, nvme::kSelfTestLogSize),
        nvme::getLogPage(nvme::kLogHealth, 1, nvme::kHealthLogSize),
    };
    for (const UsbDiskFacts& facts : {kAsmedia, kRealtek}) {
        TunnelRecorder bridge;
        for (const NvmeAdminCommand& command : tooMuch)
            EXPECT_EQ(executeNvmeThroughBridge(facts, command, m_data.data(), bridge.sender())
                          .transportError,
                      EOPNOTSUPP);
        EXPECT_TRUE(bridge.sent.empty());
        EXPECT_FALSE(bridgePassesNothing(facts));
    }
    // JMicron carries the whole submission entry, a namespace included.
    TunnelRecorder jmicron;
    EXPECT_TRUE(executeNvmeThroughBridge(kJmicron, nvme::identifyNamespace(2), m_data.data(),
                                         jmicron.sender())
                    .succeeded());
    ASSERT_EQ(jmicron.sent.size(), 3u);
    EXPECT_EQ(jmicron.sent[0].out[12], 0x02);
    EXPECT_EQ(jmicron.sent[1].cdb[4], 0x10); // 4096 bytes

    // A SATA bridge, a bridge not in the table and one that passes nothing
    // never see a tunnel CDB, and are no NVMe drive to the layers above.
    for (const UsbDiskFacts& facts :
         {UsbDiskFacts{0x174C, 0x55AA, 0x0100, QStringLiteral("uas")},
          UsbDiskFacts{0x1234, 0x5678, 0x0100, QStringLiteral("uas")},
          UsbDiskFacts{0x152D, 0x2338, 0x0100, QStringLiteral("usb-storage")}}) {
        TunnelRecorder bridge;
        EXPECT_EQ(executeNvmeThroughBridge(facts, healthLog(), m_data.data(), bridge.sender())
                      .transportError,
                  ENOTTY);
        EXPECT_TRUE(bridge.sent.empty());
        EXPECT_FALSE(tunnelNvmeFacts(facts));
    }
    ASSERT_TRUE(tunnelNvmeFacts(kRealtek));
    EXPECT_EQ(tunnelNvmeFacts(kRealtek)->namespaceId, 1u);
}

TEST_F(NvmeTunnelTest, TheDrivesErrorIsAnAnswerButABridgeOutOfStepIsLeftAlone) {
    // An error status in the completion is the drive's: the tunnel stays.
    TunnelRecorder refusing;
    refusing.response = completionBlock(0, 0x109);
    EXPECT_EQ(
        executeNvmeThroughBridge(kJmicron, healthLog(), m_data.data(), refusing.sender()).status,
        0x109);
    EXPECT_FALSE(bridgePassesNothing(kJmicron));

    // A completion without the signature: not this tunnel after all. The
    // next command is not sent, and the reason says so.
    TunnelRecorder foreign;
    foreign.response = completionBlock(0, 0, false);
    EXPECT_EQ(executeNvmeThroughBridge(kJmicron, healthLog(), m_data.data(), foreign.sender())
                  .transportError,
              EIO);
    EXPECT_TRUE(bridgePassesNothing(kJmicron));
    EXPECT_EQ(executeNvmeThroughBridge(kJmicron, healthLog(), m_data.data(), foreign.sender())
                  .transportError,
              EOPNOTSUPP);
    EXPECT_EQ(foreign.sent.size(), 3u);
    EXPECT_EQ(smartUnavailableCause(kJmicron, true), UnavailableCause::TunnelSilent);

    // A timeout and a short transfer silence the one-CDB tunnels the same way.
    TunnelRecorder swallows;
    swallows.error = ETIMEDOUT;
    EXPECT_EQ(executeNvmeThroughBridge(kRealtek, healthLog(), m_data.data(), swallows.sender())
                  .transportError,
              ETIMEDOUT);
    executeNvmeThroughBridge(kRealtek, healthLog(), m_data.data(), swallows.sender());
    EXPECT_EQ(swallows.sent.size(), 1u);
    TunnelRecorder shortOne;
    shortOne.residual = 100;
    EXPECT_EQ(executeNvmeThroughBridge(kAsmedia, healthLog(), m_data.data(), shortOne.sender())
                  .transportError,
              EIO);
    EXPECT_TRUE(bridgePassesNothing(kAsmedia));
}

TEST(UnitSerialPage, ReadsThePrintableSerialAndNothingElse) {
    const auto page = [](const QByteArray& header, const QByteArray& text) {
        return header + text;
    };
    EXPECT_EQ(parseUnitSerialPage(
                  page(QByteArray("\x00\x80\x00\x14", 4), QByteArray("    5758333244383148"))),
              QStringLiteral("5758333244383148"));
    // Trailing NULs are padding; the length field ends the text.
    EXPECT_EQ(parseUnitSerialPage(
                  page(QByteArray("\x00\x80\x00\x06", 4), QByteArray("AB12\0\0IGNORED", 13))),
              QStringLiteral("AB12"));
    // A length beyond the bytes read takes what is there.
    EXPECT_EQ(parseUnitSerialPage(page(QByteArray("\x00\x80\x00\xF0", 4), QByteArray("XYZ"))),
              QStringLiteral("XYZ"));
    EXPECT_TRUE(parseUnitSerialPage(page(QByteArray("\x00\x83\x00\x04", 4), "ABCD")).isEmpty());
    EXPECT_TRUE(parseUnitSerialPage(QByteArray("\x00\x80", 2)).isEmpty());
    EXPECT_TRUE(parseUnitSerialPage(page(QByteArray("\x00\x80\x00\x04", 4), QByteArray("A\x01"
                                                                                       "BC")))
                    .isEmpty());
    EXPECT_EQ(unitSerialInquiryCdb(), (std::array<BYTE, 6>{0x12, 0x01, 0x80, 0x00, 0xFC, 0x00}));
}
