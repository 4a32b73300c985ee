#include "platform/HelperProtocol.h"
#include "platform/AtaCommandSet.h"

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

    const help::DecodedRequest nvme = decode(withByte(good, 1, 2));
    EXPECT_EQ(nvme.status, help::DecodedRequest::Unsupported);
    EXPECT_FALSE(help::actionFor(nvme));
}

TEST(HelperProtocolTest, ReadsNeedTheReadActionSwitchesTheConfigureActionTheRestNothing) {
    const auto action = [](const AtaCommand& command) {
        return help::actionFor(decode(help::encodeAtaRequest(command)));
    };
    EXPECT_EQ(action(smart(ata::kSmartReadThresholds, true)), QString(help::kReadAction));
    EXPECT_EQ(action(smart(ata::kSmartEnableOperations, false)), QString(help::kConfigureAction));
    EXPECT_FALSE(action(smart(0xD4, false))); // EXECUTE OFFLINE: a self-test
    AtaCommand writeDma;
    writeDma.registers.command = 0xCA;
    EXPECT_FALSE(action(writeDma));
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

TEST(HelperProtocolTest, OnlyPlainWholeDiskNamesAreAccepted) {
    for (const char* name : {"sda", "sdaa", "nvme0n1", "vdb", "mmcblk0", "cciss!c0d0"})
        EXPECT_TRUE(help::isAcceptableDiskName(QString::fromLatin1(name))) << name;
    for (const char* name :
         {"", "../sda", "/dev/null", "sda/../sdb", ".sda", "Sda", "sda 1", "loop0", "dm-0", "sr0",
          "!sda", "sdaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa" /* 32 characters */})
        EXPECT_FALSE(help::isAcceptableDiskName(QString::fromLatin1(name))) << name;
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
}

} // namespace
