#include "AttributeNames.h"

#include "AttributeIds.h"

#include <array>
#include <iterator>

namespace vorn::smart {

namespace {
const AttributeName kNames[] = {
    {0x01, 2, "読込エラー率"},
    {0x02, 1, "スループット"},
    {0x03, 1, "スピンアップ時間"},
    {0x04, 0, "スタート／ストップ数"},
    {0x05, 2, "再配置セクタ数"},
    {0x06, 0, "読込チャンネル マージン"},
    {0x07, 1, "シークエラー率"},
    {0x08, 1, "シークタイム性能"},
    {0x09, 0, "パワーオン時間"},
    {0x0A, 1, "スピンアップ再試行回数"},
    {0x0B, 0, "キャリブレーション再試行回数"},
    {0x0C, 0, "電源投入回数"},
    {0x0D, 0, "Soft read error rate"},
    {0xBF, 0, "加速度センサー検出エラー率"},
    {0xC0, 0, "電源切断回避数"},
    {0xC1, 0, "ロード／アンロード・サイクル数"},
    {0xC2, 0, "HDD内部温度"},
    {0xC3, 0, "ハードウエアECC復旧"},
    {0xC4, 2, "再割り当て数"},
    {0xC5, 2, "不安定セクター数"},
    {0xC6, 2, "未訂正エラー数"},
    {0xC7, 0, "UltraDMA CRC エラー数"},
    {0xC8, 0, "書き込みエラー率"},
    {0xC9, 0, "Soft read error rate"},
    {0xCA, 0, "Data Address Mark errors"},
    {0xCB, 0, "Run out cancel"},
    {0xCC, 0, "Soft ECC correction"},
    {0xCD, 0, "熱エラー率"},
    {0xCE, 0, "ヘッド高"},
    {0xCF, 0, "最大回転電流"},
    {0xD0, 0, "Spin buzz"},
    {0xD1, 0, "Offline seek performance"},
    {0xDC, 2, "ディスク交換"},
    {0xDD, 0, "加速度センサー検出エラー率"},
    {0xDE, 0, "利用時間"},
    {0xDF, 0, "ロード／アンロード再試行回数"},
    {0xE0, 0, "Load friction"},
    {0xE1, 0, "Load/Unload cycle count"},
    {0xE2, 0, "Load-in time"},
    {0xE3, 0, "Torque amplification count"},
    {0xE4, 0, "Power-off retract count"},
    {0xE6, 0, "GMR head amplitude"},
    {0xE7, 0, "HDD内部温度"},
    {0xF0, 0, "Head flying hours"},
    {0xFA, 0, "読み込みエラー再試行数"},
};
} // namespace

// Ids are bytes: one slot per id, filled once, instead of a pass over the
// table for every attribute of every disk.
const AttributeName* findAttributeName(int id) {
    using Index = std::array<const AttributeName*, 256>;
    static const Index index = [] {
        Index slots{};
        for (const AttributeName& row : kNames) {
            if (!slots[row.id])
                slots[row.id] = &row;
        }
        return slots;
    }();
    return id >= 0 && id < 256 ? index[std::size_t(id)] : nullptr;
}

int attributeNameCount() {
    return static_cast<int>(std::size(kNames));
}

bool excludedFromChangeQueries(int id) {
    return id == kIdPowerOnHours || id == kIdPowerCycles || isTemperatureAttribute(id) ||
           id == kIdHoursInUse;
}

} // namespace vorn::smart
