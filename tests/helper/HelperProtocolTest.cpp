#include "HelperProtocol.h"
#include "AtaCommandSet.h"
#include "NvmeCommandSet.h"

#include <gtest/gtest.h>

#include <sys/sysmacros.h>

#include <cerrno>

namespace {

using namespace vorn::platform;
namespace help = vorn::platform::helper;

AtaCommand smart(BYTE feature, bool dataIn) {
    return AtaCommand{{feature, 1, 1, ata::kSmartLbaMid, ata::kSmartLbaHigh, 0xA0, ata::kSmart},
                      dataIn};
}

help::DecodedRequest decode(const QByteArray& bytes) {
    return help::decodeRequest(reinterpret_cast<const BYTE*>(bytes.constData()),
                               std::size_t(bytes.size()));
}

QByteArray withByte(QByteArray bytes, int at, char value) {
    bytes[at] = value;
    return bytes;
}

TEST(HelperProtocolTest, RequestsSurviveTheTripAndAnythingOffShapeIsMalformed) {
    const AtaCommand readData = smart(ata::kSmartReadData, true);
    const QByteArray good = help::encodeAtaRequest(readData);
    const help::DecodedRequest decoded = decode(good);
    ASSERT_EQ(decoded.status, help::DecodedRequest::Ok);
    EXPECT_EQ(decoded.ata.registers.feature, ata::kSmartReadData);
    EXPECT_EQ(decoded.ata.registers.lbaHigh, ata::kSmartLbaHigh);
    EXPECT_EQ(decoded.ata.registers.command, ata::kSmart);
    EXPECT_TRUE(decoded.ata.dataIn);

    const struct {
        const char* what;
        QByteArray bytes;
    } malformed[] = {
        {"empty", QByteArray()},
        {"format only", good.left(1)},
        {"another format", withByte(good, 0, 2)},
        {"one byte short", good.left(9)},
        {"one byte long", good + '\0'},
        {"unknown flag bit", withByte(good, 9, 0x03)},
        {"unknown kind", withByte(good, 1, 9)},
    };
    for (const auto& c : malformed)
        EXPECT_EQ(decode(c.bytes).status, help::DecodedRequest::Malformed) << c.what;
    EXPECT_EQ(help::decodeRequest(nullptr, 10).status, help::DecodedRequest::Malformed);
}

TEST(HelperProtocolTest, NvmeRequestsSurviveTheTripWithEveryWordAndStayBounded) {
    NvmeAdminCommand command = nvme::getLogPage(nvme::kLogHealth, nvme::kAllNamespaces, 512);
    command.cdw12 = 0x01020304; // off the allow-list, but the bytes must still carry it
    command.cdw15 = 0xA1B2C3D4;
    const QByteArray good = help::encodeNvmeRequest(command);
    const help::DecodedRequest decoded = decode(good);
    ASSERT_EQ(decoded.status, help::DecodedRequest::Ok);
    ASSERT_EQ(decoded.kind, help::RequestKind::NvmeAdmin);
    const NvmeAdminCommand& back = decoded.nvme;
    EXPECT_EQ(back.opcode, nvme::kGetLogPage);
    EXPECT_EQ(back.nsid, nvme::kAllNamespaces);
    EXPECT_EQ(back.cdw10, command.cdw10);
    EXPECT_EQ(back.cdw12, 0x01020304u);
    EXPECT_EQ(back.cdw15, 0xA1B2C3D4u);
    EXPECT_EQ(back.dataLength, 512u);

    NvmeAdminCommand huge = nvme::identifyController();
    huge.dataLength = help::kMaxNvmeDataLength + 1;
    NvmeAdminCommand enormous = huge;
    enormous.dataLength = 0xFFFFFFFFu;
    const struct {
        const char* what;
        QByteArray bytes;
    } malformed[] = {
        {"one byte short", good.left(34)},
        {"one byte long", good + '\0'},
        {"an ATA request's size", good.left(10)},
        {"data longer than any structure", help::encodeNvmeRequest(huge)},
        {"data length with the top bit set", help::encodeNvmeRequest(enormous)},
    };
    for (const auto& c : malformed)
        EXPECT_EQ(decode(c.bytes).status, help::DecodedRequest::Malformed) << c.what;
}

TEST(HelperProtocolTest, ReadsNeedTheReadActionSwitchesTheConfigureActionTheRestNothing) {
    const auto action = [](const AtaCommand& command) {
        return help::actionFor(decode(help::encodeAtaRequest(command)));
    };
    EXPECT_EQ(action(smart(ata::kSmartReadThresholds, true)), QString(help::kReadAction));
    EXPECT_EQ(action(smart(ata::kSmartEnableOperations, false)), QString(help::kConfigureAction));
    // EXECUTE OFFLINE with the short routine (LBA low 1): its own action.
    EXPECT_EQ(action(smart(ata::kSmartExecuteOffline, false)), QString(help::kSelfTestAction));
    AtaCommand captive = smart(ata::kSmartExecuteOffline, false);
    captive.registers.lbaLow = 0x81;
    EXPECT_FALSE(action(captive));
    AtaCommand writeDma;
    writeDma.registers.command = 0xCA;
    EXPECT_FALSE(action(writeDma));

    const auto nvmeAction = [](const NvmeAdminCommand& command) {
        return help::actionFor(decode(help::encodeNvmeRequest(command)));
    };
    const QString read = QString::fromLatin1(help::kReadAction);
    EXPECT_EQ(nvmeAction(nvme::identifyController()), read);
    EXPECT_EQ(nvmeAction(nvme::identifyNamespace(1)), read);
    EXPECT_EQ(nvmeAction(nvme::getLogPage(nvme::kLogSelfTest, 1, nvme::kSelfTestLogSize)), read);
    EXPECT_EQ(nvmeAction(nvme::deviceSelfTest(nvme::kSelfTestExtended)),
              QString::fromLatin1(help::kSelfTestAction));
    NvmeAdminCommand formatNvm;
    formatNvm.opcode = 0x80;
    NvmeAdminCommand setFeatures;
    setFeatures.opcode = 0x09;
    setFeatures.cdw10 = 0x02; // power management
    NvmeAdminCommand logWithOffset = nvme::getLogPage(nvme::kLogHealth, 1, 512);
    logWithOffset.cdw12 = 4;
    for (const NvmeAdminCommand& refused : {formatNvm, setFeatures, logWithOffset})
        EXPECT_FALSE(nvmeAction(refused)) << int(refused.opcode);
}

TEST(HelperProtocolTest, RepliesCarryDataExactlyWhenTheCommandReadsAndSucceeded) {
    const AtaCommand identify{{0, 1, 1, 0, 0, 0xA0, ata::kIdentifyDevice}, true};
    BYTE sector[kSectorSize];
    for (int i = 0; i < kSectorSize; ++i)
        sector[i] = BYTE(i * 7);
    AtaOutcome done;
    done.returned = {0, 1, 1, 0, 0, 0xA0, kAtaStatusReady};
    const QByteArray reply = help::encodeAtaReply(done, sector);

    AtaOutcome outcome;
    BYTE back[kSectorSize] = {};
    ASSERT_TRUE(help::decodeAtaReply(reply, identify, &outcome, back));
    EXPECT_EQ(outcome.transportError, 0);
    EXPECT_EQ(outcome.returned.command, kAtaStatusReady);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(back), kSectorSize),
              QByteArray(reinterpret_cast<char*>(sector), kSectorSize));

    AtaOutcome failed;
    failed.transportError = EIO;
    const QByteArray failure = help::encodeAtaReply(failed, sector);
    ASSERT_TRUE(help::decodeAtaReply(failure, identify, &outcome, back));
    EXPECT_EQ(outcome.transportError, EIO);

    const AtaCommand status = smart(ata::kSmartReturnStatus, false);
    EXPECT_FALSE(help::decodeAtaReply(reply.left(11), identify, &outcome, back)) << "data missing";
    EXPECT_FALSE(help::decodeAtaReply(reply, status, &outcome, back)) << "data not asked for";
    EXPECT_FALSE(help::decodeAtaReply(reply.left(10), status, &outcome, back)) << "short";
    EXPECT_FALSE(help::decodeAtaReply(QByteArray(11, '\xff'), status, &outcome, back))
        << "negative errno";
}

// The log reads travel in the wide form with their high-order registers and
// block count, and come back with every block; the plain commands keep the
// form an older helper knows.
TEST(HelperProtocolTest, WideLogReadsSurviveTheTripWithAllTheirBlocks) {
    AtaCommand command({ata::kSmartReadLog, 6, ata::kLogDeviceStatistics, ata::kSmartLbaMid,
                        ata::kSmartLbaHigh, 0, ata::kSmart},
                       true);
    command.blocks = 6;
    command.extended = true;
    command.previous.lbaHigh = 1;
    EXPECT_EQ(help::encodeAtaRequest(smart(ata::kSmartReadData, true)).size(), 10);
    const QByteArray bytes = help::encodeAtaRequest(command);
    const help::DecodedRequest decoded = decode(bytes);
    ASSERT_EQ(decoded.status, help::DecodedRequest::Ok);
    EXPECT_TRUE(decoded.ata.extended);
    EXPECT_EQ(decoded.ata.previous.lbaHigh, 1);
    EXPECT_EQ(decoded.ata.blocks, 6);
    // Never more blocks than any buffer holds, never none.
    EXPECT_EQ(decode(withByte(bytes, 17, char(kMaxAtaBlocks + 1))).status,
              help::DecodedRequest::Malformed);
    EXPECT_EQ(decode(withByte(withByte(bytes, 17, 0), 18, 0)).status,
              help::DecodedRequest::Malformed);

    std::vector<BYTE> pages(6 * kSectorSize);
    for (std::size_t i = 0; i < pages.size(); ++i)
        pages[i] = BYTE(i * 13);
    const QByteArray reply = help::encodeAtaReply({}, pages.data(), command.dataLength());
    std::vector<BYTE> back(pages.size(), 0);
    AtaOutcome outcome;
    ASSERT_TRUE(help::decodeAtaReply(reply, command, &outcome, back.data()));
    EXPECT_EQ(back, pages);
    EXPECT_FALSE(
        help::decodeAtaReply(reply.left(reply.size() - 1), command, &outcome, back.data()));
}

TEST(HelperProtocolTest, NvmeRepliesCarryDataExactlyWhenTheCommandSucceeded) {
    const NvmeAdminCommand health = nvme::getLogPage(nvme::kLogHealth, nvme::kAllNamespaces, 512);
    BYTE log[512];
    for (int i = 0; i < 512; ++i)
        log[i] = BYTE(i * 3);
    NvmeOutcome done;
    done.result = 0x8000000Fu;
    const QByteArray reply = help::encodeNvmeReply(done, log, 512);

    NvmeOutcome outcome;
    BYTE back[512] = {};
    ASSERT_TRUE(help::decodeNvmeReply(reply, health, &outcome, back));
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(outcome.result, 0x8000000Fu);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(back), 512),
              QByteArray(reinterpret_cast<char*>(log), 512));

    // A status from the controller or a transport errno brings no data, and
    // the caller's buffer stays as it was.
    for (const auto& [transport, status] : {std::pair{0, 0x109}, std::pair{EACCES, 0}}) {
        NvmeOutcome failed;
        failed.transportError = transport;
        failed.status = WORD(status);
        const QByteArray failure = help::encodeNvmeReply(failed, log, 512);
        BYTE untouched[512] = {};
        ASSERT_TRUE(help::decodeNvmeReply(failure, health, &outcome, untouched)) << status;
        EXPECT_EQ(outcome.transportError, transport);
        EXPECT_EQ(outcome.status, status);
        EXPECT_EQ(untouched[1], 0);
        EXPECT_FALSE(
            help::decodeNvmeReply(failure + QByteArray(512, '\0'), health, &outcome, untouched))
            << "data after a failure";
    }

    EXPECT_FALSE(help::decodeNvmeReply(reply.left(10 + 511), health, &outcome, back)) << "short";
    EXPECT_FALSE(help::decodeNvmeReply(reply, nvme::identifyController(), &outcome, back))
        << "another command's length";
    EXPECT_FALSE(help::decodeNvmeReply(reply.left(9), health, &outcome, back)) << "no header";
    EXPECT_FALSE(help::decodeNvmeReply(QByteArray(10, '\xff'), health, &outcome, back))
        << "negative errno";
}

TEST(HelperProtocolTest, OnlyPlainWholeDiskNamesAreAccepted) {
    for (const char* name : {"sda", "sdaa", "nvme0n1"})
        EXPECT_TRUE(help::isAcceptableDiskName(QString::fromLatin1(name))) << name;
    for (const char* name :
         {"", "../sda", "/dev/null", "sda/../sdb", ".sda", "Sda", "sda 1", "loop0", "dm-0", "sr0",
          "!sda", "sdaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa" /* 32 characters */})
        EXPECT_FALSE(help::isAcceptableDiskName(QString::fromLatin1(name))) << name;
    // Only the families on the list: block devices of every other driver
    // take no ATA or NVMe pass-through, and some act on what they get.
    for (const char* name :
         {"nbd0", "nullb0", "mmcblk0", "mtdblock0", "pmem0", "zd0", "rbd0", "ublkb0", "bcache0",
          "drbd0", "vdb", "xvda", "cciss!c0d0", "sda1", "sd", "sd0", "nvme0c0n1", "nvme0"})
        EXPECT_FALSE(help::isAcceptableDiskName(QString::fromLatin1(name))) << name;

    for (const char* name : {"nvme0n1", "nvme12n34"})
        EXPECT_TRUE(help::isNvmeNamespaceName(QString::fromLatin1(name))) << name;
    for (const char* name : {"sda", "nvme0", "nvme0n1p1", "nvme0c0n1", "nvme0n", "nvmen1",
                             "../nvme0n1", "nvme0n1 ", "nvme0n11111111111111111111111111"})
        EXPECT_FALSE(help::isNvmeNamespaceName(QString::fromLatin1(name))) << name;
}

TEST(HelperProtocolTest, ANodeServesADiskOnlyAsRootsBlockDeviceOfThatNumberInsideDev) {
    const unsigned long long disk = makedev(8, 0);
    const help::NodeFacts good{QStringLiteral("/dev/sda"), true, 0, disk};
    EXPECT_TRUE(help::nodeServesDisk(good, disk, QStringLiteral("/dev")));

    const struct {
        const char* what;
        help::NodeFacts node;
    } refused[] = {
        {"character device", {QStringLiteral("/dev/sda"), false, 0, disk}},
        {"owned by a user", {QStringLiteral("/dev/sda"), true, 1000, disk}},
        {"the first partition", {QStringLiteral("/dev/sda"), true, 0, makedev(8, 1)}},
        {"resolved outside /dev", {QStringLiteral("/tmp/sda"), true, 0, disk}},
        {"a sibling folder of /dev", {QStringLiteral("/devil/sda"), true, 0, disk}},
        {"/dev itself", {QStringLiteral("/dev"), true, 0, disk}},
    };
    for (const auto& c : refused)
        EXPECT_FALSE(help::nodeServesDisk(c.node, disk, QStringLiteral("/dev"))) << c.what;

    EXPECT_EQ(help::parseSysfsDevNumber("259:3\n"), makedev(259, 3));
    EXPECT_FALSE(help::parseSysfsDevNumber("8"));
    EXPECT_FALSE(help::parseSysfsDevNumber("8:x"));
}

TEST(HelperProtocolTest, SimulatedDisksAreLetteredAsTheKernelLettersThem) {
    EXPECT_EQ(help::simDiskKernelName(0), QStringLiteral("sda"));
    EXPECT_EQ(help::simDiskKernelName(25), QStringLiteral("sdz"));
    EXPECT_EQ(help::simDiskKernelName(26), QStringLiteral("sdaa"));
    EXPECT_EQ(help::simDiskKernelName(701), QStringLiteral("sdzz"));
    EXPECT_EQ(help::simDiskKernelName(702), QStringLiteral("sdaaa"));
    EXPECT_EQ(help::simNvmeKernelName(6, 2), QStringLiteral("nvme6n2"));
}

} // namespace
