#include "HelperBackend.h"
#include "../support/TempDir.h"
#include "AtaCommandSet.h"
#include "HelperProtocol.h"
#include "NvmeCommandSet.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cerrno>

namespace {

using namespace vorn::platform;
namespace help = vorn::platform::helper;

class FakeTransport : public HelperTransport {
public:
    QString checkError;
    HelperReply executeReply;
    QStringList calls; // "check sda", "execute sda <request hex>"

    HelperReply checkDisk(const QString& disk) override {
        calls << QStringLiteral("check ") + disk;
        return {checkError, {}};
    }
    HelperReply execute(const QString& disk, const QByteArray& request) override {
        calls << QStringLiteral("execute %1 %2").arg(disk, QString::fromLatin1(request.toHex()));
        return executeReply;
    }
};

const AtaCommand kIdentify{{0, 1, 1, 0, 0, 0xA0, ata::kIdentifyDevice}, true};

class HelperBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"block/sda", "block/sdb", "class/scsi_host/host2",
                                   "class/scsi_device/2:0:1:0/device/block/sdc"})
            QDir().mkpath(m_sys.path(QString::fromLatin1(folder)));
        m_transport = std::make_shared<FakeTransport>();
        m_backend = makeHelperBackend(m_transport, makeSysfsDiskNaming(m_sys.path()));
    }

    TestDir m_sys;
    std::shared_ptr<FakeTransport> m_transport;
    std::shared_ptr<DeviceBackend> m_backend;
};

TEST_F(HelperBackendTest, ADiskHandleAsksForItsKernelNameAndReadsTheReplyBack) {
    int error = -1;
    const auto device = m_backend->open({DevicePath::PhysicalDrive, 1}, &error);
    ASSERT_TRUE(device);
    EXPECT_EQ(error, 0);

    BYTE sector[kSectorSize];
    std::fill(sector, sector + kSectorSize, BYTE(0x3C));
    AtaOutcome done;
    done.returned.command = kAtaStatusReady;
    m_transport->executeReply = {QString(), help::encodeAtaReply(done, sector)};
    BYTE data[kSectorSize] = {};
    const AtaOutcome outcome = device->execute({}, kIdentify, data);
    EXPECT_EQ(outcome.transportError, 0);
    EXPECT_EQ(outcome.returned.command, kAtaStatusReady);
    EXPECT_EQ(data[300], 0x3C);
    EXPECT_EQ(m_transport->calls,
              QStringList({QStringLiteral("check sdb"),
                           QStringLiteral("execute sdb ") +
                               QString::fromLatin1(help::encodeAtaRequest(kIdentify).toHex())}));

    m_transport->executeReply = {QString::fromLatin1(help::kErrorRefused), {}};
    EXPECT_EQ(device->execute({}, kIdentify, data).transportError, EPERM);
    m_transport->executeReply = {QString(), help::encodeAtaReply(done, nullptr)}; // data missing
    EXPECT_EQ(device->execute({}, kIdentify, data).transportError, EIO);
}

TEST_F(HelperBackendTest, ARefusingHelperFailsTheOpenAsTheKernelWouldAndUnknownDisksAskNobody) {
    m_transport->checkError = QString::fromLatin1(help::kErrorNotAuthorized);
    int error = 0;
    EXPECT_FALSE(m_backend->open({DevicePath::PhysicalDrive, 0}, &error));
    EXPECT_EQ(error, EACCES);

    EXPECT_FALSE(m_backend->open({DevicePath::PhysicalDrive, 2}, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(m_backend->open({DevicePath::SmartDriver}, &error));
    EXPECT_EQ(m_transport->calls, QStringList{QStringLiteral("check sda")});
}

TEST_F(HelperBackendTest, AnAdapterHandleFindsTheDiskOfEachRequestByItsTarget) {
    int error = 0;
    EXPECT_FALSE(m_backend->open({DevicePath::ScsiAdapter, 3}, &error));
    const auto adapter = m_backend->open({DevicePath::ScsiAdapter, 2}, &error);
    ASSERT_TRUE(adapter);
    m_transport->executeReply = {QString::fromLatin1(help::kErrorNotAuthorized), {}};
    BYTE data[kSectorSize] = {};
    EXPECT_EQ(adapter->execute(RequestTarget{1}, kIdentify, data).transportError, EACCES);
    EXPECT_EQ(adapter->execute(RequestTarget{0}, kIdentify, data).transportError, ENODEV);
    ASSERT_EQ(m_transport->calls.size(), 1);
    EXPECT_TRUE(m_transport->calls[0].startsWith(QStringLiteral("execute sdc ")));
}

// The namespace's facts come from sysfs without a word to the helper; its
// commands go to the helper and the ATA disks keep refusing them unasked.
TEST_F(HelperBackendTest, AnNvmeNamespaceKnowsItsFactsLocallyAndSendsItsCommandsToTheHelper) {
    QDir().mkpath(m_sys.path(QStringLiteral("block/nvme0n1/device/device")));
    m_sys.write(QStringLiteral("block/nvme0n1/nsid"), "3\n");
    m_sys.write(QStringLiteral("block/nvme0n1/device/device/current_link_speed"),
                "8.0 GT/s PCIe\n");
    m_sys.write(QStringLiteral("block/nvme0n1/device/device/current_link_width"), "4\n");
    int error = -1;
    const auto namespaceHandle = m_backend->open({DevicePath::PhysicalDrive, 2}, &error);
    const auto ataHandle = m_backend->open({DevicePath::PhysicalDrive, 0}, &error);
    ASSERT_TRUE(namespaceHandle && ataHandle);
    m_transport->calls.clear();

    const auto facts = namespaceHandle->nvmeFacts();
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->namespaceId, 3u);
    EXPECT_EQ(facts->link.currentWidth, QStringLiteral("4"));
    EXPECT_FALSE(ataHandle->nvmeFacts());

    const NvmeAdminCommand identify = nvme::identifyNamespace(3);
    BYTE image[nvme::kIdentifySize];
    std::fill(image, image + nvme::kIdentifySize, BYTE(0x77));
    m_transport->executeReply = {QString(),
                                 help::encodeNvmeReply(NvmeOutcome(), image, nvme::kIdentifySize)};
    BYTE data[nvme::kIdentifySize] = {};
    EXPECT_TRUE(namespaceHandle->executeNvme(identify, data).succeeded());
    EXPECT_EQ(data[4095], 0x77);
    EXPECT_EQ(ataHandle->executeNvme(identify, data).transportError, ENOTTY);
    EXPECT_EQ(m_transport->calls,
              QStringList{QStringLiteral("execute nvme0n1 ") +
                          QString::fromLatin1(help::encodeNvmeRequest(identify).toHex())});

    m_transport->executeReply = {QString(), help::encodeNvmeReply(NvmeOutcome(), nullptr, 0)};
    EXPECT_EQ(namespaceHandle->executeNvme(identify, data).transportError, EIO) << "data missing";
}

} // namespace
