#include "DiskAlerts.h"

#include "CHdd.h"

#include <algorithm>
#include <functional>

namespace {

using Rule = std::function<void(const DiskHealth&, const DiskHealth&, const AlertLimits&,
                                QList<DiskAlert>*)>;

void VerdictRule(const DiskHealth& reference, const DiskHealth& current, const AlertLimits&,
                 QList<DiskAlert>* out) {
    if (current.status == 1 && reference.status != 1)
        out->append({DiskAlert::Verdict, 0, QString(), reference.status, current.status});
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
}

void TemperatureRule(const DiskHealth&, const DiskHealth& current, const AlertLimits& limits,
                     QList<DiskAlert>* out) {
    if (limits.temperature > 0 && current.temperature >= limits.temperature)
        out->append(
            {DiskAlert::TemperatureOver, 0, QString(), limits.temperature, current.temperature});
}

const Rule kRules[] = {VerdictRule, ValueRule, CountRule, TemperatureRule};

QString CountName(int id) {
    switch (id) {
    case 5:
        return QStringLiteral("再配置セクタ数");
    case 196:
        return QStringLiteral("再割り当て数");
    case 197:
        return QStringLiteral("不安定セクター数");
    case 198:
        return QStringLiteral("未訂正エラー数");
    default:
        return QString::number(id);
    }
}

} // namespace

QString DiskAlert::Key() const {
    switch (kind) {
    case Verdict:
        return QStringLiteral("verdict");
    case ValueFell:
        return QStringLiteral("value:%1:%2").arg(id).arg(to);
    case CountRose:
        return QStringLiteral("count:%1:%2").arg(id).arg(to);
    case TemperatureOver:
        // Once per crossing, whatever the degrees while it stays over.
        return QStringLiteral("temperature:%1").arg(from);
    }
    return QString();
}

QString DiskAlert::Text() const {
    switch (kind) {
    case Verdict:
        return QStringLiteral("健康状態が「異常」になりました");
    case ValueFell:
        return QStringLiteral("%1 (%2) の値が %3 から %4 に下がりました")
            .arg(name)
            .arg(id)
            .arg(from)
            .arg(to);
    case CountRose:
        return QStringLiteral("%1 (%2) が %3 から %4 に増えました")
            .arg(CountName(id))
            .arg(id)
            .arg(from)
            .arg(to);
    case TemperatureOver:
        return QStringLiteral("温度が %1℃ になりました（上限 %2℃）").arg(to).arg(from);
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

DiskHealth HealthOf(const CHdd& disk) {
    DiskHealth health;
    health.status = disk.GetStatus();
    health.temperature = disk.GetTemperature();
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        // The first record of an id speaks for it, as in the baseline file.
        health.values.emplace(record->m_byId, record->m_nCurrent);
        const int* watched =
            std::find(std::begin(kWatchedCounts), std::end(kWatchedCounts), int(record->m_byId));
        if (watched != std::end(kWatchedCounts) && record->m_nRaw >= 0)
            health.counts.emplace(record->m_byId, record->m_nRaw);
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
