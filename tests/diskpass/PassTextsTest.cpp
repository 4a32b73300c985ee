#include "DiskAlerts.h"
#include "HistoryGraphs.h"
#include "PassNotice.h"
#include "ScannedDisk.h"
#include "Translation.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <ostream>

using namespace vorn::diskpass;

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A line is finished English: something to read, no Japanese left, no
// placeholder left unfilled.
void ExpectEnglishLine(const QString& text) {
    static const QRegularExpression cjk(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    static const QRegularExpression placeholder(QStringLiteral("%(\\d|n)"));
    EXPECT_FALSE(text.trimmed().isEmpty());
    EXPECT_FALSE(text.contains(cjk)) << text.toStdString();
    EXPECT_FALSE(text.contains(placeholder)) << text.toStdString();
}

TEST(PassTexts, EveryAlertReadsAsOneEnglishSentence) {
    const CTextCatalogue english(InterfaceLanguage::English);
    QList<DiskAlert> alerts;
    for (DiskAlert::Kind kind : {DiskAlert::Verdict, DiskAlert::Caution}) {
        alerts.append({kind, 0, QString(), 0, kind == DiskAlert::Verdict ? 1 : 2});
        alerts.append({kind, 0, QStringLiteral("05 X"), 0, 1});
        alerts.append({kind, 0, QString(), 1, 1}); // standing
        alerts.append({kind, 0, QStringLiteral("05 X"), 2, 2});
    }
    alerts.append({DiskAlert::ValueFell, 5, QStringLiteral("X"), 100, 90});
    alerts.append({DiskAlert::CountRose, 197, QString(), 0, 8});
    alerts.append({DiskAlert::TemperatureOver, 0, QString(), 55, 61});
    alerts.append({DiskAlert::MediaErrorsRose, 0, QString(), 0, 3});
    for (int bit = 0; bit < 8; ++bit)
        alerts.append({DiskAlert::WarningOn, bit, QString(), 0, 1 << bit});
    alerts.append({DiskAlert::SpareLow, 0, QString(), 10, 5});
    alerts.append({DiskAlert::SelfTestFailed, 7, QString(), 0, 7});
    alerts.append({DiskAlert::ErrorLogRose, 0, QString(), 2, 4});
    for (const DiskAlert& alert : alerts) {
        SCOPED_TRACE(alert.Key().toStdString());
        ExpectEnglishLine(alert.Text());
    }

    // The failing attributes come out of the rules joined the English way,
    // and a watched count is named as the list names it.
    DiskHealth good;
    good.status = 0;
    good.counts = {{5, 1}};
    DiskHealth caution;
    caution.status = 2;
    caution.counts = {{5, 3}};
    caution.failing = {{5, QStringLiteral("A")}, {187, QStringLiteral("B")}};
    const QList<DiskAlert> found = FindAlerts(good, caution, {});
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].Text(), QStringLiteral("Health status changed to Caution (05 A, BB B)"));
    EXPECT_EQ(found[1].Text(), QStringLiteral("Reallocated Sectors Count (5) rose from 1 to 3"));
}

TEST(PassTexts, UsbNotesGraphLabelsAndTheNoticeTitleInEnglish) {
    const CTextCatalogue english(InterfaceLanguage::English);
    CScannedDisk disk;
    disk.m_strUsbBridge = QStringLiteral("1058:0701");
    for (UsbSmart why : {UsbSmart::PassesNothing, UsbSmart::UnknownSilent, UsbSmart::TunnelSilent,
                         UsbSmart::NoIdentify, UsbSmart::NoHealthLog, UsbSmart::Off}) {
        disk.m_usbSmart = why;
        ExpectEnglishLine(UsbSmartLine(disk));
    }

    for (GraphSpan span : {GraphSpan::Day, GraphSpan::Month, GraphSpan::Year, GraphSpan::All}) {
        ExpectEnglishLine(GraphSpanName(span));
        GraphQuery query;
        query.span = span;
        query.nowMs = 1'700'000'000'000;
        ExpectEnglishLine(LoadGraph(query).emptyText);
    }
    for (const GraphValue& value :
         {TemperatureValue(), AttributeCurrentValue(5, "X"), AttributeRawValue(5, "X")}) {
        ExpectEnglishLine(value.name);
        ExpectEnglishLine(value.unit);
    }
    EXPECT_EQ(AttributeRawValue(0xC5, QStringLiteral("X")).name,
              QStringLiteral("C5 X (raw value)"));

    EXPECT_EQ(PassNoticeOf(QStringLiteral("P"), {{"A", "x"}, {"B", "y"}}).title,
              QStringLiteral("The state of 2 disks changed"));
}

} // namespace
