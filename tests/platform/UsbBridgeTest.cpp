#include "UsbBridge.h"
#include "BridgeTransport.h"
#include "UsbSysfs.h"

#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <vector>

using namespace vorn::platform;
using namespace vorn::platform::usb;

namespace {

const AtaRegisters kIdentify{0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC};

AtaCommand identifyCommand() {
    return AtaCommand(kIdentify, true);
}

AtaCommand readLogExtCommand() {
    AtaCommand command(AtaRegisters{0x00, 0x01, 0x00, 0x00, 0x00, 0xA0, 0x2F}, true);
    command.extended = true;
    return command;
}

UsbDiskFacts facts(WORD vendor, WORD product, WORD release = 0x0100) {
    return UsbDiskFacts{vendor, product, release, QStringLiteral("uas")};
}

// Records every CDB and answers each as the bridge under test would.
struct RecordingBridge {
    struct Sent {
        std::vector<BYTE> cdb;
        DWORD timeoutMs;
    };
    std::vector<Sent> sent;
    int transportError = 0; // what every send returns (ETIMEDOUT for a bridge that swallows)
    std::vector<BYTE> sense;
    BYTE scsiStatus = 0;
    int residual = 0;

    CdbSender sender() {
        return [this](const BYTE* cdb, std::size_t length, DWORD timeoutMs, sat::SgReply* reply) {
            sent.push_back({std::vector<BYTE>(cdb, cdb + length), timeoutMs});
            *reply = sat::SgReply{};
            reply->scsiStatus = scsiStatus;
            reply->residual = residual;
            reply->sense = sense.data();
            reply->senseLength = sense.size();
            return transportError;
        };
    }
};

class UsbBridgeTest : public ::testing::Test {
protected:
    void SetUp() override { forgetSilentBridges(); }
    void TearDown() override { forgetSilentBridges(); }
};

} // namespace

TEST(UsbBridgeTable, LooksUpByIdAndReleaseAndKnowsNothingElse) {
    EXPECT_EQ(lookupBridge({0x174C, 0x55AA, 0x0100}), BridgePath::Sat16);
    EXPECT_EQ(lookupBridge({0x0939, 0x0B13, 0x0100}), BridgePath::Sat12);
    EXPECT_EQ(lookupBridge({0x152D, 0x0583, 0x0214}), BridgePath::JmicronNvme);
    EXPECT_EQ(lookupBridge({0x174C, 0x2362, 0x0000}), BridgePath::AsmediaNvme);
    EXPECT_EQ(lookupBridge({0x0BDA, 0x9210, 0x2100}), BridgePath::RealtekNvme);
    // The release range covers its own releases only.
    EXPECT_EQ(lookupBridge({0x13FD, 0x1040, 0x0106}), BridgePath::None);
    EXPECT_EQ(lookupBridge({0x13FD, 0x1040, 0x0200}), std::nullopt);
    // The same product number under another vendor is another bridge.
    EXPECT_EQ(lookupBridge({0x174D, 0x55AA, 0x0100}), std::nullopt);
    EXPECT_EQ(bridgeIdText({0x0BDA, 0x9210, 0x2100}), QStringLiteral("0bda:9210"));
    for (const BridgeEntry& entry : bridgeTable()) {
        EXPECT_LE(entry.releaseFirst, entry.releaseLast) << entry.chip;
        EXPECT_EQ(parseBridgePath(bridgePathName(entry.path)), entry.path) << entry.chip;
    }
}

TEST_F(UsbBridgeTest, EachPathSendsItsOwnCdbAndNothingElse) {
    // A known SAT(16) bridge: the 16-byte form of IDENTIFY DEVICE.
    RecordingBridge sat16;
    executeThroughBridge(facts(0x174C, 0x55AA), identifyCommand(), nullptr, sat16.sender());
    ASSERT_EQ(sat16.sent.size(), 1u);
    EXPECT_EQ(sat16.sent[0].cdb,
              (std::vector<BYTE>{0x85, 0x08, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
                                 0x00, 0x00, 0xA0, 0xEC, 0x00}));

    // A 12-byte-only bridge: the 12-byte form, and no 48-bit command at all.
    RecordingBridge sat12;
    executeThroughBridge(facts(0x0939, 0x0B13), identifyCommand(), nullptr, sat12.sender());
    ASSERT_EQ(sat12.sent.size(), 1u);
    EXPECT_EQ(sat12.sent[0].cdb, (std::vector<BYTE>{0xA1, 0x08, 0x0E, 0x00, 0x01, 0x01, 0x00, 0x00,
                                                    0xA0, 0xEC, 0x00, 0x00}));
    const AtaOutcome extended =
        executeThroughBridge(facts(0x0939, 0x0B13), readLogExtCommand(), nullptr, sat12.sender());
    EXPECT_EQ(extended.transportError, EOPNOTSUPP);
    EXPECT_EQ(sat12.sent.size(), 1u);

    // A tunnel bridge gets no ATA CDB, nor does a bridge that passes nothing.
    RecordingBridge silent;
    for (const UsbDiskFacts& f : {facts(0x152D, 0x0583), facts(0x174C, 0x2362),
                                  facts(0x0BDA, 0x9210), facts(0x152D, 0x2338)}) {
        EXPECT_EQ(
            executeThroughBridge(f, identifyCommand(), nullptr, silent.sender()).transportError,
            EOPNOTSUPP);
    }
    EXPECT_TRUE(silent.sent.empty());
    EXPECT_TRUE(bridgePassesNothing(facts(0x152D, 0x2338)));
    EXPECT_FALSE(smartUnavailableReason(facts(0x152D, 0x2338), false).isEmpty());
    EXPECT_FALSE(bridgePassesNothing(facts(0x152D, 0x0583)));
}

TEST_F(UsbBridgeTest, AnUnknownBridgeGetsOneShortTryAndIsThenLeftAlone) {
    const UsbDiskFacts unknown = facts(0x1234, 0x5678);
    RecordingBridge swallows;
    swallows.transportError = ETIMEDOUT;
    EXPECT_EQ(
        executeThroughBridge(unknown, identifyCommand(), nullptr, swallows.sender()).transportError,
        ETIMEDOUT);
    for (int i = 0; i < 3; ++i)
        executeThroughBridge(unknown, identifyCommand(), nullptr, swallows.sender());
    ASSERT_EQ(swallows.sent.size(), 1u);
    EXPECT_EQ(swallows.sent[0].cdb.size(), 16u);
    EXPECT_LE(swallows.sent[0].timeoutMs, kUnknownBridgeTimeoutMs);
    EXPECT_TRUE(bridgePassesNothing(unknown));
    EXPECT_TRUE(smartUnavailableReason(unknown, true).contains(QStringLiteral("1234:5678")));
    // Another release of the same product is another try.
    EXPECT_FALSE(bridgePassesNothing(facts(0x1234, 0x5678, 0x0200)));
}

TEST_F(UsbBridgeTest, GarbageOrShortAnswersAreFailuresThatSilenceAnUnknownBridge) {
    const struct {
        const char* what;
        BYTE status;
        std::vector<BYTE> sense;
        int residual;
    } cases[] = {
        {"sense of no known format", 0x02, std::vector<BYTE>(18, 0x5A), 0},
        {"invalid opcode",
         0x02,
         {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x20, 0x00, 0, 0, 0, 0},
         0},
        {"short data", 0x00, {}, 512},
        {"check condition without sense", 0x02, {}, 0},
    };
    WORD product = 0x0001;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingBridge bridge;
        bridge.scsiStatus = c.status;
        bridge.sense = c.sense;
        bridge.residual = c.residual;
        const UsbDiskFacts unknown = facts(0x4321, product++);
        EXPECT_EQ(executeThroughBridge(unknown, identifyCommand(), nullptr, bridge.sender())
                      .transportError,
                  EIO);
        EXPECT_TRUE(bridgePassesNothing(unknown));
        // A known SAT bridge answering the same is not silenced: its next
        // command is still sent.
        const UsbDiskFacts known = facts(0x174C, 0x55AA);
        executeThroughBridge(known, identifyCommand(), nullptr, bridge.sender());
        executeThroughBridge(known, identifyCommand(), nullptr, bridge.sender());
        EXPECT_EQ(bridge.sent.size(), 3u);
    }
}

TEST(UsbSysfs, FindsTheUsbDeviceAboveADiskAndNothingAboveOthers) {
    TestDir sys;
    const QString usbDevice = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb2/2-1");
    const QString scsi = usbDevice + QStringLiteral("/2-1:1.0/host6/target6:0:0/6:0:0:0");
    const QString ata =
        QStringLiteral("devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0");
    for (const QString& dir : {scsi, ata, QStringLiteral("bus/usb/drivers/uas"),
                               QStringLiteral("block/sdb"), QStringLiteral("block/sda")})
        ASSERT_TRUE(QDir().mkpath(sys.path(dir)));
    sys.write(usbDevice + QStringLiteral("/idVendor"), "174c\n");
    sys.write(usbDevice + QStringLiteral("/idProduct"), "55aa\n");
    sys.write(usbDevice + QStringLiteral("/bcdDevice"), "0100\n");
    ASSERT_TRUE(QFile::link(sys.path(QStringLiteral("bus/usb/drivers/uas")),
                            sys.path(usbDevice + QStringLiteral("/2-1:1.0/driver"))));
    ASSERT_TRUE(QFile::link(sys.path(scsi), sys.path(QStringLiteral("block/sdb/device"))));
    ASSERT_TRUE(QFile::link(sys.path(ata), sys.path(QStringLiteral("block/sda/device"))));

    const std::optional<UsbDiskFacts> usb = usbFactsOf(sys.path(), QStringLiteral("sdb"));
    ASSERT_TRUE(usb);
    EXPECT_EQ(usb->vendor, 0x174C);
    EXPECT_EQ(usb->product, 0x55AA);
    EXPECT_EQ(usb->release, 0x0100);
    EXPECT_EQ(usb->driver, QStringLiteral("uas"));
    EXPECT_FALSE(usbFactsOf(sys.path(), QStringLiteral("sda")));
    EXPECT_FALSE(usbFactsOf(sys.path(), QStringLiteral("sdz")));
}
