// IDENTIFY, SMART READ DATA and READ THRESHOLDS sectors as a disk might send
// them, then baseline bytes: through every getter, the display records, the
// panel texts and the JSON of drivewatch.
#include "FuzzInput.h"

#include "BaselineFile.h"
#include "CheckerDisk.h"
#include "DrivewatchOutput.h"
#include "PanelText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstring>

using namespace vorn::checker;
using namespace vorn::drivewatch;

namespace {

void fill(SectorImage* image, const QByteArray& bytes) {
    image->fill(0);
    std::memcpy(image->data(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void load(CDisk* disk, const QByteArray& identify, const QByteArray& data,
          const QByteArray& thresholds) {
    fill(&disk->m_HddInfo.m_Identify, identify);
    disk->m_HddInfo.SwapTextFields();
    fill(&disk->m_HddSmart.m_Attribute, data);
    fill(&disk->m_HddSmart.m_Threshold, thresholds);
    disk->GetDisplayAttribute();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QByteArray identify = input.take(512);
    const QByteArray smart = input.take(512);
    const QByteArray thresholds = input.take(512);
    const QByteArray baseline = input.rest();

    CDisk disk;
    load(&disk, identify, smart, thresholds);
    for (LONGLONG capacity : {disk.GetDiskCapacity(), disk.Get48LBACapacity(),
                              disk.Get28LBACapacity(), disk.GetChsCapacity()})
        FUZZ_REQUIRE(capacity >= 0);
    for (double gigabytes :
         {disk.Get48LBACapacityGB(), disk.Get28LBACapacityGB(), disk.GetChsCapacityGB()})
        FUZZ_REQUIRE(std::isfinite(gigabytes) && gigabytes >= 0);
    disk.GetSerialNumber();
    disk.GetFirmwareRev();
    disk.GetManufacturer();
    disk.GetBufferCapacity();
    disk.GetMajorVersion();
    disk.GetInterface();
    disk.GetTransferMode(0);
    disk.GetTransferMode(1);
    disk.GetStatus();
    disk.GetTemperature();
    disk.GetPowerOnHours();
    disk.GetPowerCycle();

    ApplyBaseline(baseline, &disk);
    const PanelTexts panel = MakePanelTexts(&disk, 0, 1700000000);
    DiskReportText(disk, panel);
    // Whatever the disk holds, the text is a JSON document.
    QJsonParseError parseError;
    const QJsonObject json =
        QJsonDocument::fromJson(DiskReportJson(disk, panel), &parseError).object();
    FUZZ_REQUIRE(parseError.error == QJsonParseError::NoError);
    for (const QJsonValue& attribute : json.value(QStringLiteral("attributes")).toArray()) {
        const QJsonValue depleted = attribute.toObject().value(QStringLiteral("depleted"));
        FUZZ_REQUIRE(depleted.isNull() ||
                     (depleted.isDouble() && std::isfinite(depleted.toDouble())));
    }

    // What was written once reads back to itself: a baseline file is a
    // fixed point of reading and writing.
    const QByteArray written = EncodeBaseline(disk);
    CDisk again;
    load(&again, identify, smart, thresholds);
    ApplyBaseline(written, &again);
    FUZZ_REQUIRE(EncodeBaseline(again) == written);
    return 0;
}
