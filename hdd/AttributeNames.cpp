#include "AttributeNames.h"

#include "AttributeIds.h"

#include <array>
#include <iterator>

namespace vorn::smart {

namespace {
const AttributeName kNames[] = {
    {0x01, 2, "読込エラー率", "readerror|rawread|readsofterror"},
    {0x02, 1, "スループット", "throughput"},
    {0x03, 1, "スピンアップ時間", "spinup"},
    {0x04, 0, "スタート／ストップ数", "startstop"},
    {0x05, 2, "再配置セクタ数", "realloc|retired|bad"},
    {0x06, 0, "読込チャンネル マージン", "margin"},
    {0x07, 1, "シークエラー率", "seekerror"},
    {0x08, 1, "シークタイム性能", "seektime|seekperf"},
    {0x09, 0, "パワーオン時間", "poweron"},
    {0x0A, 1, "スピンアップ再試行回数", "spinretry|spinup"},
    {0x0B, 0, "キャリブレーション再試行回数", "calibrat"},
    {0x0C, 0, "電源投入回数", "powercycle"},
    {0x0D, 0, "Soft read error rate", "softerror|softread"},
    {0xAA, 1, "予備ブロックの残り", "reserv|spare"},
    {0xAB, 1, "プログラム失敗数", "programfail"},
    {0xAC, 1, "消去失敗数", "erasefail"},
    {0xAD, 0, "平均消去回数", "erase|wear|pe|program"},
    {0xAE, 0, "予期しない電源断の回数", "powerloss|pwrloss|unsafe|unexpect|unplanned"},
    {0xAF, 1, "プログラム失敗数（チップ）", "programfail"},
    {0xB0, 1, "消去失敗数（チップ）", "erasefail"},
    {0xB1, 1, "ウェアレベリング回数", "wear"},
    {0xB2, 1, "使用済み予備ブロック数（チップ）", "usedrsvd|usedrsrvd"},
    {0xB3, 1, "使用済み予備ブロック数（合計）", "usedrsvd|usedrsrvd"},
    {0xB4, 1, "未使用予備ブロック数（合計）", "unusedrsvd|unusedreserve|spare"},
    {0xB5, 1, "プログラム失敗数（合計）", "programfail"},
    {0xB6, 1, "消去失敗数（合計）", "erasefail"},
    {0xB7, 1, "実行時の不良ブロック数", "runtimebad|badblock"},
    {0xB8, 2, "エンドツーエンド エラー数", "endtoend|e2e"},
    {0xBB, 2, "報告された訂正不能エラー数", "uncorrect|unc|ue"},
    {0xBC, 1, "コマンド タイムアウト数", "timeout"},
    {0xBD, 0, "高浮上書き込み数", "highfly"},
    {0xBE, 0, "エアフロー温度", "temp"},
    {0xBF, 0, "加速度センサー検出エラー率", "gsense|shock"},
    {0xC0, 0, "電源切断回避数", "poweroff|retract|unsafe|unexpect|powerloss|unclean"},
    {0xC1, 0, "ロード／アンロード・サイクル数", "loadcycle|loadunload"},
    {0xC2, 0, "HDD内部温度", "temp"},
    {0xC3, 0, "ハードウエアECC復旧", "hardwareecc|correctedecc|eccerror|eccon|ecccor|raiseecc"},
    {0xC4, 2, "再割り当て数", "realloc|remap"},
    {0xC5, 2, "不安定セクター数", "pending|pend"},
    {0xC6, 2, "未訂正エラー数", "uncor|offline"},
    {0xC7, 0, "UltraDMA CRC エラー数", "crc"},
    {0xC8, 0, "書き込みエラー率", "writeerror|multizone"},
    {0xC9, 0, "Soft read error rate", "softread|softerror"},
    {0xCA, 0, "Data Address Mark errors", "addressmark"},
    {0xCB, 0, "Run out cancel", "runout"},
    {0xCC, 0, "Soft ECC correction", "softecc"},
    {0xCD, 0, "熱エラー率", "thermalasperity"},
    {0xCE, 0, "ヘッド高", "flyingheight|headheight|flyheight"},
    {0xCF, 0, "最大回転電流", "spinhigh|spincurrent"},
    {0xD0, 0, "Spin buzz", "spinbuzz"},
    {0xD1, 0, "Offline seek performance", "seekperf"},
    {0xD2, 0, "内部冗長による復旧成功数", "rain|raid|recov"},
    {0xD3, 0, "読み取り妨害による再配置数", "disturb"},
    {0xD4, 0, "SATA 物理層エラー数", "phy"},
    {0xD5, 0, "読み込み再試行数", "retry|rtry"},
    {0xDC, 2, "ディスク交換", "diskshift"},
    {0xDD, 0, "加速度センサー検出エラー率", "gsense|shock"},
    {0xDE, 0, "利用時間", "loadedhours|hours"},
    {0xDF, 0, "ロード／アンロード再試行回数", "loadretry"},
    {0xE0, 0, "Load friction", "loadfriction"},
    {0xE1, 0, "Load/Unload cycle count", "loadcycle|loadunload"},
    {0xE2, 0, "Load-in time", "loadin"},
    {0xE3, 0, "Torque amplification count", "torq"},
    {0xE4, 0, "Power-off retract count", "retract"},
    {0xE6, 0, "GMR head amplitude", "amplitude"},
    {0xE7, 0, "HDD内部温度", "temp"},
    {0xE8, 1, "予備領域の残り", "reserv|spare"},
    {0xE9, 1, "メディア消耗度", "wearout|mediawear"},
    {0xEA, 0, "熱スロットリング状態", "thrott"},
    {0xEB, 0, "電源断からの復旧回数", "por|recovery"},
    {0xF0, 0, "Head flying hours", "flying|flyinghours"},
    {0xF1, 0, "総書き込み量", "writ|wts"},
    {0xF2, 0, "総読み込み量", "read|rds"},
    {0xF3, 0, "NAND 書き込み量", "nandwrit|nandprog|writ"},
    {0xF4, 0, "熱スロットリング", "thrott|therm"},
    {0xF6, 0, "ホスト書き込みセクタ総数", "writ|sectorwrite"},
    {0xF7, 0, "ホストによるプログラム ページ数", "hostprogram"},
    {0xF8, 0, "内部処理によるプログラム ページ数", "ftlprogram|bckgndprogram|backgroundprogram"},
    {0xF9, 0, "NAND 書き込み量（GiB）", "nand|writ|prog"},
    {0xFA, 0, "読み込みエラー再試行数", "readerrorretry|readretry"},
    {0xFB, 0, "NAND 書き込み量（ページ）", "nand|writ"},
    {0xFC, 1, "追加の不良ブロック数", "bad"},
    {0xFE, 0, "落下センサー検出数", "fall"},
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
