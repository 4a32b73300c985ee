#include "RequestHandler.h"
#include "Disks.h"

#include "../support/TempDir.h"
#include "AtaCommandSet.h"
#include "DiskEnumeration.h"
#include "HelperBackend.h"
#include "HelperProtocol.h"
#include "NvmeCommandSet.h"
#include "SimMachine.h"
#include "UniqueFd.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace {

using namespace vorn::diskhelper;
using namespace vorn::platform;
using vorn::UniqueFd;
namespace help = vorn::platform::helper;

class FakeAuthorizer : public Authorizer {
public:
    QStringList granted;
    QStringList asked;     // "action caller"
    bool deferred = false; // hold the answer, as polkit does during a prompt
    std::function<void()> pending;

    void authorize(const QString& action, const QString& caller,
                   std::function<void(bool)> done) override {
        asked << action + QLatin1Char(' ') + caller;
        const bool yes = granted.contains(action);
        if (deferred)
            pending = [done, yes] { done(yes); };
        else
            done(yes);
    }
};

class FakeDisks : public DiskAccess {
public:
    int openError = 0;
    QStringList opened;
    QList<AtaCommand> executed;
    QList<NvmeAdminCommand> nvmeExecuted;

    std::unique_ptr<OpenedDisk> open(const QString& name, int* error) override {
        opened << name;
        *error = openError;
        if (openError)
            return nullptr;
        return std::make_unique<Disk>(this);
    }

private:
    class Disk : public OpenedDisk {
    public:
        explicit Disk(FakeDisks* owner) : m_owner(owner) {}
        AtaOutcome execute(const AtaCommand& command, BYTE* data) override {
            m_owner->executed << command;
            if (command.dataIn)
                std::fill(data, data + kSectorSize, BYTE(0x5A));
            AtaOutcome outcome;
            outcome.returned.command = kAtaStatusReady;
            return outcome;
        }
        NvmeOutcome executeNvme(const NvmeAdminCommand& command, BYTE* data) override {
            m_owner->nvmeExecuted << command;
            std::fill(data, data + command.dataLength, BYTE(0xA5));
            return NvmeOutcome();
        }

    private:
        FakeDisks* m_owner;
    };
};

AtaCommand smart(BYTE feature, bool dataIn) {
    return AtaCommand{{feature, 1, 1, ata::kSmartLbaMid, ata::kSmartLbaHigh, 0xA0, ata::kSmart},
                      dataIn};
}

// The answer of one Execute; the fakes answer at once.
HandlerResult execute(const QString& disk, const QByteArray& request, Authorizer& authorizer,
                      DiskAccess& disks) {
    HandlerResult result;
    int answers = 0;
    handleExecute(QStringLiteral(":1.7"), disk, request, authorizer, disks,
                  [&](const HandlerResult& r) {
                      result = r;
                      ++answers;
                  });
    EXPECT_EQ(answers, 1);
    return result;
}

const AtaCommand kIdentify{{0, 1, 1, 0, 0, 0xA0, ata::kIdentifyDevice}, true};
const AtaCommand kEnable = smart(ata::kSmartEnableOperations, false);
const AtaCommand kWriteLog = smart(0xD6, false);

NvmeAdminCommand formatNvm() {
    NvmeAdminCommand command;
    command.opcode = 0x80;
    command.nsid = 1;
    return command;
}

TEST(RequestHandlerTest, EachCheckStopsARequestBeforeTheNextStepAndRefusalsTouchNothing) {
    const QString read = QString::fromLatin1(help::kReadAction);
    const QString configure = QString::fromLatin1(help::kConfigureAction);
    const struct {
        const char* what;
        QString disk;
        QByteArray request;
        QStringList granted;
        int openError;
        const char* error; // nullptr: served
        QStringList asked;
        int opens;
    } cases[] = {
        {"write command",
         "sda",
         help::encodeAtaRequest(kWriteLog),
         {read, configure},
         0,
         help::kErrorRefused,
         {},
         0},
        {"malformed request",
         "sda",
         help::encodeAtaRequest(kIdentify).left(9),
         {read},
         0,
         help::kErrorInvalidRequest,
         {},
         0},
        {"path as a name",
         "../sda",
         help::encodeAtaRequest(kIdentify),
         {read},
         0,
         help::kErrorInvalidDisk,
         {},
         0},
        {"read denied",
         "sda",
         help::encodeAtaRequest(kIdentify),
         {},
         0,
         help::kErrorNotAuthorized,
         {read},
         0},
        {"switch with read rights only",
         "sda",
         help::encodeAtaRequest(kEnable),
         {read},
         0,
         help::kErrorNotAuthorized,
         {configure},
         0},
        {"no such whole disk",
         "sdb",
         help::encodeAtaRequest(kIdentify),
         {read},
         ENODEV,
         help::kErrorInvalidDisk,
         {read},
         1},
        {"open fails",
         "sdb",
         help::encodeAtaRequest(kIdentify),
         {read},
         EROFS,
         help::kErrorOpenFailed,
         {read},
         1},
        {"switch granted",
         "sda",
         help::encodeAtaRequest(kEnable),
         {configure},
         0,
         nullptr,
         {configure},
         1},
        {"read granted", "sda", help::encodeAtaRequest(kIdentify), {read}, 0, nullptr, {read}, 1},
        {"NVMe format",
         "nvme0n1",
         help::encodeNvmeRequest(formatNvm()),
         {read, configure},
         0,
         help::kErrorRefused,
         {},
         0},
        {"NVMe command to an ATA disk",
         "sda",
         help::encodeNvmeRequest(nvme::identifyController()),
         {read},
         0,
         help::kErrorInvalidDisk,
         {},
         0},
        {"NVMe command to a partition",
         "nvme0n1p1",
         help::encodeNvmeRequest(nvme::identifyController()),
         {read},
         0,
         help::kErrorInvalidDisk,
         {},
         0},
        {"NVMe read denied",
         "nvme0n1",
         help::encodeNvmeRequest(nvme::identifyController()),
         {configure},
         0,
         help::kErrorNotAuthorized,
         {read},
         0},
        {"NVMe read granted",
         "nvme0n1",
         help::encodeNvmeRequest(nvme::identifyController()),
         {read},
         0,
         nullptr,
         {read},
         1},
    };
    for (const auto& c : cases) {
        FakeAuthorizer authorizer;
        authorizer.granted = c.granted;
        FakeDisks disks;
        disks.openError = c.openError;
        const HandlerResult result = execute(c.disk, c.request, authorizer, disks);
        EXPECT_EQ(result.errorName, QString::fromLatin1(c.error)) << c.what;
        QStringList asked;
        for (const QString& action : c.asked)
            asked << action + QStringLiteral(" :1.7");
        EXPECT_EQ(authorizer.asked, asked) << c.what;
        EXPECT_EQ(disks.opened.size(), c.opens) << c.what;
        EXPECT_EQ(disks.executed.size() + disks.nvmeExecuted.size(), c.error ? 0 : 1) << c.what;
        EXPECT_EQ(result.reply.isEmpty(), c.error != nullptr) << c.what;
    }
}

TEST(RequestHandlerTest, TheDiskIsTouchedOnlyOncePolkitSaidYesAndItsAnswerGoesBack) {
    FakeAuthorizer authorizer;
    authorizer.granted << QString::fromLatin1(help::kReadAction);
    authorizer.deferred = true;
    FakeDisks disks;
    std::optional<HandlerResult> result;
    handleExecute(QStringLiteral(":1.7"), QStringLiteral("sda"), help::encodeAtaRequest(kIdentify),
                  authorizer, disks, [&](const HandlerResult& r) { result = r; });
    EXPECT_FALSE(result);
    EXPECT_TRUE(disks.opened.isEmpty());
    ASSERT_TRUE(authorizer.pending);
    authorizer.pending();

    ASSERT_TRUE(result);
    AtaOutcome outcome;
    BYTE data[kSectorSize] = {};
    ASSERT_TRUE(help::decodeAtaReply(result->reply, kIdentify, &outcome, data));
    EXPECT_EQ(outcome.returned.command, kAtaStatusReady);
    EXPECT_EQ(data[0], 0x5A);
    EXPECT_EQ(data[511], 0x5A);
    ASSERT_EQ(disks.executed.size(), 1);
    EXPECT_EQ(disks.executed[0].registers.command, ata::kIdentifyDevice);
}

TEST(RequestHandlerTest, AnNvmeCommandReachesTheDiskWordForWordAndItsDataComesBack) {
    FakeAuthorizer authorizer;
    authorizer.granted << QString::fromLatin1(help::kReadAction);
    FakeDisks disks;
    const NvmeAdminCommand health =
        nvme::getLogPage(nvme::kLogHealth, nvme::kAllNamespaces, nvme::kHealthLogSize);
    const HandlerResult result =
        execute(QStringLiteral("nvme0n1"), help::encodeNvmeRequest(health), authorizer, disks);
    ASSERT_EQ(disks.nvmeExecuted.size(), 1);
    EXPECT_EQ(disks.nvmeExecuted[0].cdw10, health.cdw10);
    EXPECT_EQ(disks.nvmeExecuted[0].nsid, health.nsid);
    EXPECT_EQ(disks.nvmeExecuted[0].dataLength, health.dataLength);
    NvmeOutcome outcome;
    BYTE data[nvme::kHealthLogSize] = {};
    ASSERT_TRUE(help::decodeNvmeReply(result.reply, health, &outcome, data));
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(data[0], 0xA5);
    EXPECT_EQ(data[511], 0xA5);
}

// A disk behind a USB bridge takes NVMe admin commands exactly when the
// bridge table names its bridge for a tunnel; a SATA bridge's disk is no
// NVMe disk to the helper, whatever the caller says.
TEST(SimDiskAccessTest, NvmeCommandsReachATunnelBridgesDiskOnly) {
    TestDir dir;
    vorn::platform::SimMachine machine;
    for (int i = 0; i < 2; ++i) {
        vorn::platform::SimDisk disk;
        disk.folder = QStringLiteral("%1-usb").arg(i);
        disk.drive.append({QStringLiteral("Index"), QString::number(i)});
        disk.drive.append({QStringLiteral("InterfaceType"), QStringLiteral("USB")});
        disk.device.nvme = i == 0;
        disk.device.bridge = i == 0 ? vorn::platform::usb::BridgePath::RealtekNvme
                                    : vorn::platform::usb::BridgePath::Sat16;
        disk.device.usbId = i == 0 ? vorn::platform::usb::BridgeId{0x0BDA, 0x9210, 0x2100}
                                   : vorn::platform::usb::BridgeId{0x174C, 0x55AA, 0x0100};
        disk.nvmeHealth = QByteArray(512, '\x11');
        machine.disks.push_back(disk);
    }
    const auto shared = std::make_shared<const vorn::platform::SimMachine>(machine);
    const QString tunnel = vorn::platform::simKernelNameOf(shared->disks[0]);
    const QString sata = vorn::platform::simKernelNameOf(shared->disks[1]);
    const std::unique_ptr<DiskAccess> disks = makeSimDiskAccess(shared, QString());
    EXPECT_TRUE(disks->servesNvme(tunnel));
    EXPECT_FALSE(disks->servesNvme(sata));

    FakeAuthorizer authorizer;
    authorizer.granted << QString::fromLatin1(help::kReadAction);
    const NvmeAdminCommand health =
        nvme::getLogPage(nvme::kLogHealth, nvme::kAllNamespaces, nvme::kHealthLogSize);
    const HandlerResult read = execute(tunnel, help::encodeNvmeRequest(health), authorizer, *disks);
    EXPECT_TRUE(read.errorName.isEmpty()) << read.errorMessage.toStdString();
    NvmeOutcome outcome;
    BYTE data[nvme::kHealthLogSize] = {};
    ASSERT_TRUE(help::decodeNvmeReply(read.reply, health, &outcome, data));
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(data[511], 0x11);
    EXPECT_EQ(execute(sata, help::encodeNvmeRequest(health), authorizer, *disks).errorName,
              QString::fromLatin1(help::kErrorInvalidDisk));
}

// Starting or aborting a test occupies the disk, so it needs its own
// action; the logs it leaves are read under the read action.
TEST(RequestHandlerTest, SelfTestsRunOnlyUnderTheirOwnActionAndTheirLogsUnderTheReadAction) {
    AtaCommand start = smart(ata::kSmartExecuteOffline, false);
    start.registers.lbaLow = ata::kSelfTestExtended;
    AtaCommand readLog = smart(ata::kSmartReadLog, true);
    readLog.registers.lbaLow = ata::kLogSelfTest;
    const NvmeAdminCommand nvmeStart = nvme::deviceSelfTest(nvme::kSelfTestShort);
    const QString selfTest = QString::fromLatin1(help::kSelfTestAction);

    FakeAuthorizer readOnly;
    readOnly.granted << QString::fromLatin1(help::kReadAction)
                     << QString::fromLatin1(help::kConfigureAction);
    FakeDisks disks;
    EXPECT_EQ(
        execute(QStringLiteral("sda"), help::encodeAtaRequest(start), readOnly, disks).errorName,
        QString::fromLatin1(help::kErrorNotAuthorized));
    EXPECT_EQ(
        execute(QStringLiteral("nvme0n1"), help::encodeNvmeRequest(nvmeStart), readOnly, disks)
            .errorName,
        QString::fromLatin1(help::kErrorNotAuthorized));
    EXPECT_TRUE(disks.opened.isEmpty());
    EXPECT_TRUE(readOnly.asked.contains(selfTest + QStringLiteral(" :1.7")));
    EXPECT_TRUE(execute(QStringLiteral("sda"), help::encodeAtaRequest(readLog), readOnly, disks)
                    .errorName.isEmpty());
    ASSERT_EQ(disks.executed.size(), 1);
    EXPECT_EQ(disks.executed[0].registers.lbaLow, ata::kLogSelfTest);

    FakeAuthorizer tester;
    tester.granted << selfTest;
    EXPECT_TRUE(execute(QStringLiteral("sda"), help::encodeAtaRequest(start), tester, disks)
                    .errorName.isEmpty());
    EXPECT_TRUE(
        execute(QStringLiteral("nvme0n1"), help::encodeNvmeRequest(nvmeStart), tester, disks)
            .errorName.isEmpty());
    ASSERT_EQ(disks.executed.size(), 2);
    EXPECT_EQ(disks.executed[1].registers.lbaLow, ata::kSelfTestExtended);
    ASSERT_EQ(disks.nvmeExecuted.size(), 1);
    EXPECT_EQ(disks.nvmeExecuted[0].opcode, nvme::kDeviceSelfTest);
    // The captive form is refused before anyone is asked, whatever is granted.
    AtaCommand captive = start;
    captive.registers.lbaLow = 0x82;
    EXPECT_EQ(
        execute(QStringLiteral("sda"), help::encodeAtaRequest(captive), tester, disks).errorName,
        QString::fromLatin1(help::kErrorRefused));
    EXPECT_EQ(disks.executed.size(), 2);
}

// A fake /sys and /dev: the names are checked against the enumeration and the
// node is opened and inspected before any command could go out.
TEST(LinuxDiskAccessTest, RefusesNamesAndNodesThatAreNotAWholeDiskOfThisMachine) {
    TestDir dir;
    const QString sys = dir.path(QStringLiteral("sys"));
    const QString dev = dir.path(QStringLiteral("dev"));
    QDir().mkpath(sys + QStringLiteral("/block/sda/sda1"));
    QDir().mkpath(sys + QStringLiteral("/block/sdb"));
    QDir().mkpath(sys + QStringLiteral("/block/sdc"));
    QDir().mkpath(dev);
    dir.write(QStringLiteral("sys/block/sda/dev"), "8:0\n");
    dir.write(QStringLiteral("sys/block/sdb/dev"), "8:16\n");
    dir.write(QStringLiteral("sys/block/sdc/dev"), "8:32\n");
    dir.write(QStringLiteral("dev/sda"), "a regular file, not a block device");
    dir.write(QStringLiteral("outside"), "");
    QFile::link(dir.path(QStringLiteral("outside")), dev + QStringLiteral("/sdb"));

    const std::unique_ptr<DiskAccess> access = makeLinuxDiskAccess(sys, dev);
    const struct {
        const char* name;
        int error;
    } cases[] = {
        {"sda", ENODEV},  // opens, but is no block device
        {"sdb", ENODEV},  // a link that leads out of /dev is never opened
        {"sdc", ENODEV},  // no node
        {"sda1", ENODEV}, // a partition
        {"sdd", ENODEV},  // not in /sys/block
        {"../sda", ENODEV},
    };
    for (const auto& c : cases) {
        int error = 0;
        EXPECT_EQ(access->open(QString::fromLatin1(c.name), &error), nullptr) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
}

// Opening a FIFO or a device can act on it before any check of what was
// opened; the node must be looked at first. The kernel tells every open of
// a watched file, so a node that is never opened raises no event.
TEST(LinuxDiskAccessTest, ANodeThatIsNoBlockDeviceIsNeverOpened) {
    TestDir dir;
    const QString sys = dir.path(QStringLiteral("sys"));
    const QString dev = dir.path(QStringLiteral("dev"));
    for (const char* disk : {"sda", "sdb"})
        ASSERT_TRUE(QDir().mkpath(sys + QStringLiteral("/block/") + QLatin1String(disk)));
    ASSERT_TRUE(QDir().mkpath(dev));
    dir.write(QStringLiteral("sys/block/sda/dev"), "8:0\n");
    dir.write(QStringLiteral("sys/block/sdb/dev"), "8:16\n");
    const QByteArray fifo = QFile::encodeName(dev + QStringLiteral("/sda"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    dir.write(QStringLiteral("dev/sdb"), "a regular file");

    const UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    ASSERT_TRUE(watch.valid());
    for (const char* node : {"/sda", "/sdb"})
        ASSERT_GE(::inotify_add_watch(watch.get(),
                                      QFile::encodeName(dev + QLatin1String(node)).constData(),
                                      IN_OPEN),
                  0);
    const std::unique_ptr<DiskAccess> access = makeLinuxDiskAccess(sys, dev);
    for (const char* name : {"sda", "sdb"}) {
        int error = 0;
        EXPECT_EQ(access->open(QString::fromLatin1(name), &error), nullptr) << name;
        EXPECT_EQ(error, ENODEV) << name;
    }
    char events[4096];
    EXPECT_EQ(::read(watch.get(), events, sizeof events), -1) << "a node was opened";
    EXPECT_EQ(errno, EAGAIN);
}

// The name and node checks must accept a real whole disk; whether the kernel
// then lets this process open it (a container's device rules may not) is the
// machine's business, so only a refusal by the checks (ENODEV) fails.
TEST(LinuxDiskAccessTest, TheChecksAcceptAWholeDiskOfThisMachine) {
    QStringList disks = physicalDiskNames();
    disks.removeIf([](const QString& name) { return !help::isAcceptableDiskName(name); });
    if (::geteuid() != 0 || disks.isEmpty())
        GTEST_SKIP() << "needs root and a disk of a family the helper serves";
    int error = -1;
    const auto opened = makeLinuxDiskAccess()->open(disks.first(), &error);
    EXPECT_NE(error, ENODEV) << disks.first().toStdString();
    EXPECT_EQ(opened != nullptr, error == 0);
}

} // namespace
