#include "DiskAlerts.h"

#include "AttributeNames.h"
#include "CHdd.h"
#include "NvmeDecoder.h"
#include "Translation.h"

#include <algorithm>
#include <functional>

namespace vorn::diskpass {

namespace {

using Rule = std::function<void(const DiskHealth&, const DiskHealth&, const AlertLimits&,
                                QList<DiskAlert>*)>;

// The critical-warning bit the controller raises itself when the spare runs
// low.
constexpr int kSpareWarningBit = 0;

QString FailingNames(const DiskHealth& health) {
    QStringList names;
    for (const FailingAttribute& attribute : health.failing)
        names << QString::asprintf("%02X ", attribute.id) + attribute.name;
    return names.join(Cm_Tr("DiskAlert", "、", "between the names of failing attributes"));
}

// A verdict's sentence alone and with the failing attributes in brackets:
// whole sentences, so that each language places the names itself.
struct VerdictSentence {
    const char* alone;
    const char* naming;
};

const VerdictSentence kBadStanding = {
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態は「異常」です"),
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態は「異常」です（%1）")};
const VerdictSentence kBadTurned = {
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態が「異常」になりました"),
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態が「異常」になりました（%1）")};
const VerdictSentence kCautionStanding = {
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態は「注意」です"),
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態は「注意」です（%1）")};
const VerdictSentence kCautionTurned = {
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態が「注意」になりました"),
    QT_TRANSLATE_NOOP("DiskAlert", "健康状態が「注意」になりました（%1）")};

QString VerdictText(const VerdictSentence& sentence, const QString& names) {
    return names.isEmpty() ? Cm_Tr("DiskAlert", sentence.alone)
                           : Cm_Tr("DiskAlert", sentence.naming).arg(names);
}

void VerdictRule(const DiskHealth& reference, const DiskHealth& current, const AlertLimits&,
                 QList<DiskAlert>* out) {
    // An NVMe disk's verdict turns only with its warning bits, which
    // WarningRule names one by one.
    if (current.nvme && reference.nvme)
        return;
    const QString failing = FailingNames(current);
    if (current.status == 1 && reference.status != 1)
        out->append({DiskAlert::Verdict, 0, failing, reference.status, current.status});
    else if (current.status == 2 && reference.status != 1 && reference.status != 2)
        out->append({DiskAlert::Caution, 0, failing, reference.status, current.status});
}

void ValueRule(const DiskHealth&, const DiskHealth& current, const AlertLimits&,
               QList<DiskAlert>* out) {
    // A value that rose is no reason to worry; the mark stays where it was.
    for (const AttributeChange& change : current.changed) {
        if (change.to < change.from)
            out->append({DiskAlert::ValueFell, change.id, change.name, change.from, change.to});
    }
}

void CountRule(const DiskHealth& reference, const DiskHealth& current, const AlertLimits&,
               QList<DiskAlert>* out) {
    for (int id : kWatchedCounts) {
        const auto now = current.counts.find(id);
        const auto then = reference.counts.find(id);
        // A count the reference lacks has no "before" to rise from.
        if (now == current.counts.end() || then == reference.counts.end())
            continue;
        if (now->second > then->second)
            out->append({DiskAlert::CountRose, id, QString(), then->second, now->second});
    }
    if (current.nvme && reference.nvme && current.nvme->mediaErrors > reference.nvme->mediaErrors)
        out->append({DiskAlert::MediaErrorsRose, 0, QString(), reference.nvme->mediaErrors,
                     current.nvme->mediaErrors});
}

void WarningRule(const DiskHealth& reference, const DiskHealth& current, const AlertLimits&,
                 QList<DiskAlert>* out) {
    if (!current.nvme || !reference.nvme)
        return;
    const int risen = current.nvme->criticalWarning & ~reference.nvme->criticalWarning;
    for (int bit = 0; bit < 8; ++bit) {
        if (risen & (1 << bit))
            out->append({DiskAlert::WarningOn, bit, QString(), reference.nvme->criticalWarning,
                         current.nvme->criticalWarning});
    }
}

void SpareRule(const DiskHealth& reference, const DiskHealth& current, const AlertLimits&,
               QList<DiskAlert>* out) {
    if (!current.nvme || !reference.nvme || !current.nvme->SpareLow() || reference.nvme->SpareLow())
        return;
    // A controller that flags the low spare itself was told by WarningRule.
    if (current.nvme->criticalWarning & (1 << kSpareWarningBit))
        return;
    out->append({DiskAlert::SpareLow, 0, QString(), current.nvme->spareThreshold,
                 current.nvme->availableSpare});
}

void TemperatureRule(const DiskHealth&, const DiskHealth& current, const AlertLimits& limits,
                     QList<DiskAlert>* out) {
    if (limits.temperature > 0 && current.temperature >= limits.temperature)
        out->append(
            {DiskAlert::TemperatureOver, 0, QString(), limits.temperature, current.temperature});
}

// Status nibbles 3 to 8 are the drive's own failures; 1 and 2 (aborted,
// interrupted) the host's doing.
bool SelfTestStatusFailed(int status) {
    return status >= 3 && status <= 8;
}

void SelfTestRule(const DiskHealth& reference, const DiskHealth& current, const AlertLimits&,
                  QList<DiskAlert>* out) {
    if (SelfTestStatusFailed(current.selfTestStatus) &&
        current.selfTestStatus != reference.selfTestStatus)
        out->append({DiskAlert::SelfTestFailed, current.selfTestStatus, QString(),
                     reference.selfTestStatus, current.selfTestStatus});
}

void ErrorLogRule(const DiskHealth& reference, const DiskHealth& current, const AlertLimits&,
                  QList<DiskAlert>* out) {
    // A count the reference lacks has no "before" to rise from.
    if (reference.errorLogEntries >= 0 && current.errorLogEntries > reference.errorLogEntries)
        out->append({DiskAlert::ErrorLogRose, 0, QString(), reference.errorLogEntries,
                     current.errorLogEntries});
}

const Rule kRules[] = {VerdictRule, ValueRule,       CountRule,    WarningRule,
                       SpareRule,   TemperatureRule, SelfTestRule, ErrorLogRule};

// The watched counts are named as the attribute table names them.
QString CountName(int id) {
    return vorn::smart::findAttributeName(id) ? vorn::smart::attributeNameText(id)
                                              : QString::number(id);
}

QString WarningText(int bit) {
    switch (bit) {
    case kSpareWarningBit:
        return Cm_Tr("DiskAlert", "クリティカル警告: 予備領域がしきい値を下回りました");
    case 1:
        return Cm_Tr("DiskAlert", "クリティカル警告: 温度が限界を超えました");
    case 2:
        return Cm_Tr("DiskAlert", "クリティカル警告: 信頼性が低下しました");
    case 3:
        return Cm_Tr("DiskAlert", "クリティカル警告: 読み取り専用になりました");
    case 4:
        return Cm_Tr("DiskAlert", "クリティカル警告: 揮発性メモリのバックアップが故障しました");
    case 5:
        return Cm_Tr("DiskAlert", "クリティカル警告: 永続メモリ領域が読み取り専用になりました");
    default:
        return Cm_Tr("DiskAlert", "クリティカル警告: ビット %1 が立ちました").arg(bit);
    }
}

long long ClampedCount(vorn::nvme::Uint128 value) {
    constexpr long long kMax = NvmeHealthState::kMaxCount;
    return value > static_cast<vorn::nvme::Uint128>(kMax) ? kMax : static_cast<long long>(value);
}

NvmeHealthState NvmeHealthOf(const CHddNvme& nvme) {
    namespace h = vorn::nvme::health;
    const auto field = [&nvme](std::size_t offset, std::size_t size) {
        return vorn::nvme::readLeUint(nvme.m_HealthLog.data(), nvme.m_HealthLog.size(), offset,
                                      size);
    };
    NvmeHealthState state;
    state.mediaErrors = ClampedCount(field(h::kMediaErrors, 16));
    state.criticalWarning = int(field(h::kCriticalWarning, 1));
    state.availableSpare = int(field(h::kAvailableSpare, 1));
    state.spareThreshold = int(field(h::kSpareThreshold, 1));
    return state;
}

} // namespace

bool NvmeHealthState::operator==(const NvmeHealthState& other) const {
    return mediaErrors == other.mediaErrors && criticalWarning == other.criticalWarning &&
           availableSpare == other.availableSpare && spareThreshold == other.spareThreshold;
}

QString DiskAlert::Key() const {
    switch (kind) {
    case Verdict:
        return QStringLiteral("verdict");
    case Caution:
        return QStringLiteral("caution");
    case ValueFell:
        return QStringLiteral("value:%1:%2").arg(id).arg(to);
    case CountRose:
        return QStringLiteral("count:%1:%2").arg(id).arg(to);
    case TemperatureOver:
        // Once per crossing, whatever the degrees while it stays over.
        return QStringLiteral("temperature:%1").arg(from);
    case MediaErrorsRose:
        return QStringLiteral("media_errors:%1").arg(to);
    case WarningOn:
        return QStringLiteral("warning:%1").arg(id);
    case SpareLow:
        // Once per crossing, like the temperature.
        return QStringLiteral("spare:%1").arg(from);
    case SelfTestFailed:
        return QStringLiteral("self_test:%1").arg(to);
    case ErrorLogRose:
        return QStringLiteral("error_log:%1").arg(to);
    }
    return QString();
}

QString DiskAlert::Text() const {
    switch (kind) {
    case Verdict:
        return VerdictText(Standing() ? kBadStanding : kBadTurned, name);
    case Caution:
        return VerdictText(Standing() ? kCautionStanding : kCautionTurned, name);
    case ValueFell:
        return Cm_Tr("DiskAlert", "%1 (%2) の値が %3 から %4 に下がりました")
            .arg(name)
            .arg(id)
            .arg(from)
            .arg(to);
    case CountRose:
        return Cm_Tr("DiskAlert", "%1 (%2) が %3 から %4 に増えました")
            .arg(CountName(id))
            .arg(id)
            .arg(from)
            .arg(to);
    case TemperatureOver:
        return Cm_Tr("DiskAlert", "温度が %1℃ になりました（上限 %2℃）").arg(to).arg(from);
    case MediaErrorsRose:
        return Cm_Tr("DiskAlert", "メディアとデータ保全のエラーが %1 から %2 に増えました")
            .arg(from)
            .arg(to);
    case WarningOn:
        return WarningText(id);
    case SpareLow:
        return Cm_Tr("DiskAlert", "予備領域の残りが %1% になりました（しきい値 %2%）")
            .arg(to)
            .arg(from);
    case SelfTestFailed:
        return Cm_Tr("DiskAlert", "セルフテストが失敗しました（状態 %1）").arg(to);
    case ErrorLogRose:
        return Cm_Tr("DiskAlert", "エラーログの記録が %1 件から %2 件に増えました")
            .arg(from)
            .arg(to);
    }
    return QString();
}

QList<DiskAlert> FindAlerts(const DiskHealth& reference, const DiskHealth& current,
                            const AlertLimits& limits) {
    QList<DiskAlert> alerts;
    for (const Rule& rule : kRules)
        rule(reference, current, limits, &alerts);
    return alerts;
}

QList<DiskAlert> StandingAlerts(const DiskHealth& reference, const DiskHealth& current) {
    QList<DiskAlert> alerts;
    if (current.nvme && reference.nvme) {
        const int still = current.nvme->criticalWarning & reference.nvme->criticalWarning;
        for (int bit = 0; bit < 8; ++bit) {
            if (still & (1 << bit))
                alerts.append({DiskAlert::WarningOn, bit, QString(), still, still});
        }
        return alerts;
    }
    // The same keys as the turn itself, so a disk told as failing once is
    // not told again when the user later accepts or the turn is seen anew.
    if (current.status == reference.status && (current.status == 1 || current.status == 2))
        alerts.append({current.status == 1 ? DiskAlert::Verdict : DiskAlert::Caution, 0,
                       FailingNames(current), current.status, current.status});
    return alerts;
}

DiskHealth HealthOf(const CHdd& disk) {
    DiskHealth health;
    health.status = disk.GetStatus();
    health.temperature = disk.GetTemperature();
    if (disk.IsNvme()) {
        // A log that never came says nothing; it must not read as all zero.
        if (disk.m_HddNvme.m_bHealthLog) {
            health.nvme = NvmeHealthOf(disk.m_HddNvme);
            health.errorLogEntries = ClampedCount(vorn::nvme::readLeUint(
                disk.m_HddNvme.m_HealthLog.data(), disk.m_HddNvme.m_HealthLog.size(),
                vorn::nvme::health::kErrorLogEntries, 16));
        }
        return health;
    }
    // The status byte comes with the attributes every read brings.
    if (disk.GetSelfTestCapabilities().any())
        health.selfTestStatus = disk.GetSelfTestProgress().statusCode;
    // An ATA drive's error count lives in its error log, which is read only
    // where the logs are asked for (--logs, the end of a self-test); a pass
    // without it leaves the reference as it is.
    if (disk.m_DriveLogs.errorLogRead)
        health.errorLogEntries =
            std::clamp<long long>(disk.m_DriveLogs.errors.count, 0, NvmeHealthState::kMaxCount);
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        // The first record of an id speaks for it, as in the baseline file.
        health.values.emplace(record->m_byId, record->m_nCurrent);
        const int* watched =
            std::find(std::begin(kWatchedCounts), std::end(kWatchedCounts), int(record->m_byId));
        if (watched != std::end(kWatchedCounts))
            health.counts.emplace(record->m_byId, static_cast<long long>(record->m_nRaw));
        if (record->BelowThreshold())
            health.failing.append({record->m_byId, record->m_strName});
    }
    QList<CHddSmartDisp*> changed;
    disk.m_HddSmart.GetChangeDepleted(changed);
    for (const CHddSmartDisp* record : changed)
        health.changed.append(
            {record->m_byId, record->m_strName, record->m_nChange, record->m_nCurrent});
    return health;
}

QStringList AlertKeys(const QList<DiskAlert>& alerts) {
    QStringList keys;
    for (const DiskAlert& alert : alerts)
        keys.append(alert.Key());
    return keys;
}

} // namespace vorn::diskpass
