#include "AttributeNames.h"

#include "AttributeIds.h"
#include "Translation.h"

#include <array>
#include <iterator>

namespace vorn::smart {

namespace {
const AttributeName kNames[] = {
    {0x01, 2, QT_TRANSLATE_NOOP("AttributeNames", "読込エラー率"), "raw_read_error_rate",
     "readerror|rawread|readsofterror"},
    {0x02, 1, QT_TRANSLATE_NOOP("AttributeNames", "スループット"), "throughput_performance",
     "throughput"},
    {0x03, 1, QT_TRANSLATE_NOOP("AttributeNames", "スピンアップ時間"), "spin_up_time", "spinup"},
    {0x04, 0, QT_TRANSLATE_NOOP("AttributeNames", "スタート／ストップ数"), "start_stop_count",
     "startstop"},
    {0x05, 2, QT_TRANSLATE_NOOP("AttributeNames", "再配置セクタ数"), "reallocated_sector_count",
     "realloc|retired|bad"},
    {0x06, 0, QT_TRANSLATE_NOOP("AttributeNames", "読込チャンネル マージン"), "read_channel_margin",
     "margin"},
    {0x07, 1, QT_TRANSLATE_NOOP("AttributeNames", "シークエラー率"), "seek_error_rate",
     "seekerror"},
    {0x08, 1, QT_TRANSLATE_NOOP("AttributeNames", "シークタイム性能"), "seek_time_performance",
     "seektime|seekperf"},
    {0x09, 0, QT_TRANSLATE_NOOP("AttributeNames", "パワーオン時間"), "power_on_hours", "poweron"},
    {0x0A, 1, QT_TRANSLATE_NOOP("AttributeNames", "スピンアップ再試行回数"), "spin_retry_count",
     "spinretry|spinup"},
    {0x0B, 0, QT_TRANSLATE_NOOP("AttributeNames", "キャリブレーション再試行回数"),
     "calibration_retry_count", "calibrat"},
    {0x0C, 0, QT_TRANSLATE_NOOP("AttributeNames", "電源投入回数"), "power_cycle_count",
     "powercycle"},
    {0x0D, 0, QT_TRANSLATE_NOOP("AttributeNames", "Soft read error rate"), "soft_read_error_rate",
     "softerror|softread"},
    {0xAA, 1, QT_TRANSLATE_NOOP("AttributeNames", "予備ブロックの残り"),
     "available_reserved_blocks", "reserv|spare"},
    {0xAB, 1, QT_TRANSLATE_NOOP("AttributeNames", "プログラム失敗数"), "program_fail_count",
     "programfail"},
    {0xAC, 1, QT_TRANSLATE_NOOP("AttributeNames", "消去失敗数"), "erase_fail_count", "erasefail"},
    {0xAD, 0, QT_TRANSLATE_NOOP("AttributeNames", "平均消去回数"), "average_erase_count",
     "erase|wear|pe|program"},
    {0xAE, 0, QT_TRANSLATE_NOOP("AttributeNames", "予期しない電源断の回数"),
     "unexpected_power_loss_count", "powerloss|pwrloss|unsafe|unexpect|unplanned"},
    {0xAF, 1, QT_TRANSLATE_NOOP("AttributeNames", "プログラム失敗数（チップ）"),
     "program_fail_count_chip", "programfail"},
    {0xB0, 1, QT_TRANSLATE_NOOP("AttributeNames", "消去失敗数（チップ）"), "erase_fail_count_chip",
     "erasefail"},
    {0xB1, 1, QT_TRANSLATE_NOOP("AttributeNames", "ウェアレベリング回数"), "wear_leveling_count",
     "wear"},
    {0xB2, 1, QT_TRANSLATE_NOOP("AttributeNames", "使用済み予備ブロック数（チップ）"),
     "used_reserved_block_count_chip", "usedrsvd|usedrsrvd"},
    {0xB3, 1, QT_TRANSLATE_NOOP("AttributeNames", "使用済み予備ブロック数（合計）"),
     "used_reserved_block_count_total", "usedrsvd|usedrsrvd"},
    {0xB4, 1, QT_TRANSLATE_NOOP("AttributeNames", "未使用予備ブロック数（合計）"),
     "unused_reserved_block_count_total", "unusedrsvd|unusedreserve|spare"},
    {0xB5, 1, QT_TRANSLATE_NOOP("AttributeNames", "プログラム失敗数（合計）"),
     "program_fail_count_total", "programfail"},
    {0xB6, 1, QT_TRANSLATE_NOOP("AttributeNames", "消去失敗数（合計）"), "erase_fail_count_total",
     "erasefail"},
    {0xB7, 1, QT_TRANSLATE_NOOP("AttributeNames", "実行時の不良ブロック数"),
     "runtime_bad_block_count", "runtimebad|badblock"},
    {0xB8, 2, QT_TRANSLATE_NOOP("AttributeNames", "エンドツーエンド エラー数"),
     "end_to_end_error_count", "endtoend|e2e"},
    {0xBB, 2, QT_TRANSLATE_NOOP("AttributeNames", "報告された訂正不能エラー数"),
     "reported_uncorrectable_errors", "uncorrect|unc|ue"},
    {0xBC, 1, QT_TRANSLATE_NOOP("AttributeNames", "コマンド タイムアウト数"),
     "command_timeout_count", "timeout"},
    {0xBD, 0, QT_TRANSLATE_NOOP("AttributeNames", "高浮上書き込み数"), "high_fly_writes",
     "highfly"},
    {0xBE, 0, QT_TRANSLATE_NOOP("AttributeNames", "エアフロー温度"), "airflow_temperature", "temp"},
    {0xBF, 0, QT_TRANSLATE_NOOP("AttributeNames", "加速度センサー検出エラー率"),
     "g_sense_error_rate", "gsense|shock"},
    {0xC0, 0, QT_TRANSLATE_NOOP("AttributeNames", "電源切断回避数"), "power_off_retract_count",
     "poweroff|retract|unsafe|unexpect|powerloss|unclean"},
    {0xC1, 0, QT_TRANSLATE_NOOP("AttributeNames", "ロード／アンロード・サイクル数"),
     "load_unload_cycle_count", "loadcycle|loadunload"},
    {0xC2, 0, QT_TRANSLATE_NOOP("AttributeNames", "HDD内部温度"), "temperature", "temp"},
    {0xC3, 0, QT_TRANSLATE_NOOP("AttributeNames", "ハードウエアECC復旧"), "hardware_ecc_recovered",
     "hardwareecc|correctedecc|eccerror|eccon|ecccor|raiseecc"},
    {0xC4, 2, QT_TRANSLATE_NOOP("AttributeNames", "再割り当て数"), "reallocation_event_count",
     "realloc|remap"},
    {0xC5, 2, QT_TRANSLATE_NOOP("AttributeNames", "不安定セクター数"),
     "current_pending_sector_count", "pending|pend"},
    {0xC6, 2, QT_TRANSLATE_NOOP("AttributeNames", "未訂正エラー数"),
     "offline_uncorrectable_sector_count", "uncor|offline"},
    {0xC7, 0, QT_TRANSLATE_NOOP("AttributeNames", "UltraDMA CRC エラー数"),
     "ultra_dma_crc_error_count", "crc"},
    {0xC8, 0, QT_TRANSLATE_NOOP("AttributeNames", "書き込みエラー率"), "write_error_rate",
     "writeerror|multizone"},
    {0xC9, 0, QT_TRANSLATE_NOOP("AttributeNames", "Soft read error rate"),
     "soft_read_error_rate_201", "softread|softerror"},
    {0xCA, 0, QT_TRANSLATE_NOOP("AttributeNames", "Data Address Mark errors"),
     "data_address_mark_errors", "addressmark"},
    {0xCB, 0, QT_TRANSLATE_NOOP("AttributeNames", "Run out cancel"), "run_out_cancel", "runout"},
    {0xCC, 0, QT_TRANSLATE_NOOP("AttributeNames", "Soft ECC correction"), "soft_ecc_correction",
     "softecc"},
    {0xCD, 0, QT_TRANSLATE_NOOP("AttributeNames", "熱エラー率"), "thermal_asperity_rate",
     "thermalasperity"},
    {0xCE, 0, QT_TRANSLATE_NOOP("AttributeNames", "ヘッド高"), "flying_height",
     "flyingheight|headheight|flyheight"},
    {0xCF, 0, QT_TRANSLATE_NOOP("AttributeNames", "最大回転電流"), "spin_high_current",
     "spinhigh|spincurrent"},
    {0xD0, 0, QT_TRANSLATE_NOOP("AttributeNames", "Spin buzz"), "spin_buzz", "spinbuzz"},
    {0xD1, 0, QT_TRANSLATE_NOOP("AttributeNames", "Offline seek performance"),
     "offline_seek_performance", "seekperf"},
    {0xD2, 0, QT_TRANSLATE_NOOP("AttributeNames", "内部冗長による復旧成功数"),
     "internal_redundancy_recovery_count", "rain|raid|recov"},
    {0xD3, 0, QT_TRANSLATE_NOOP("AttributeNames", "読み取り妨害による再配置数"),
     "read_disturb_reallocation_count", "disturb"},
    {0xD4, 0, QT_TRANSLATE_NOOP("AttributeNames", "SATA 物理層エラー数"), "sata_phy_error_count",
     "phy"},
    {0xD5, 0, QT_TRANSLATE_NOOP("AttributeNames", "読み込み再試行数"), "read_retry_count",
     "retry|rtry"},
    {0xDC, 2, QT_TRANSLATE_NOOP("AttributeNames", "ディスク交換"), "disk_shift", "diskshift"},
    {0xDD, 0, QT_TRANSLATE_NOOP("AttributeNames", "加速度センサー検出エラー率"),
     "g_sense_error_rate_221", "gsense|shock"},
    {0xDE, 0, QT_TRANSLATE_NOOP("AttributeNames", "利用時間"), "loaded_hours", "loadedhours|hours"},
    {0xDF, 0, QT_TRANSLATE_NOOP("AttributeNames", "ロード／アンロード再試行回数"),
     "load_unload_retry_count", "loadretry"},
    {0xE0, 0, QT_TRANSLATE_NOOP("AttributeNames", "Load friction"), "load_friction",
     "loadfriction"},
    {0xE1, 0, QT_TRANSLATE_NOOP("AttributeNames", "Load/Unload cycle count"),
     "load_unload_cycle_count_225", "loadcycle|loadunload"},
    {0xE2, 0, QT_TRANSLATE_NOOP("AttributeNames", "Load-in time"), "load_in_time", "loadin"},
    {0xE3, 0, QT_TRANSLATE_NOOP("AttributeNames", "Torque amplification count"),
     "torque_amplification_count", "torq"},
    {0xE4, 0, QT_TRANSLATE_NOOP("AttributeNames", "Power-off retract count"),
     "power_off_retract_count_228", "retract"},
    {0xE6, 0, QT_TRANSLATE_NOOP("AttributeNames", "GMR head amplitude"), "gmr_head_amplitude",
     "amplitude"},
    {0xE7, 0, QT_TRANSLATE_NOOP("AttributeNames", "HDD内部温度"), "temperature_231", "temp"},
    {0xE8, 1, QT_TRANSLATE_NOOP("AttributeNames", "予備領域の残り"), "available_reserved_space",
     "reserv|spare"},
    {0xE9, 1, QT_TRANSLATE_NOOP("AttributeNames", "メディア消耗度"), "media_wearout_indicator",
     "wearout|mediawear"},
    {0xEA, 0, QT_TRANSLATE_NOOP("AttributeNames", "熱スロットリング状態"),
     "thermal_throttle_status", "thrott"},
    {0xEB, 0, QT_TRANSLATE_NOOP("AttributeNames", "電源断からの復旧回数"),
     "power_loss_recovery_count", "por|recovery"},
    {0xF0, 0, QT_TRANSLATE_NOOP("AttributeNames", "Head flying hours"), "head_flying_hours",
     "flying|flyinghours"},
    {0xF1, 0, QT_TRANSLATE_NOOP("AttributeNames", "総書き込み量"), "total_data_written",
     "writ|wts"},
    {0xF2, 0, QT_TRANSLATE_NOOP("AttributeNames", "総読み込み量"), "total_data_read", "read|rds"},
    {0xF3, 0, QT_TRANSLATE_NOOP("AttributeNames", "NAND 書き込み量"), "nand_writes",
     "nandwrit|nandprog|writ"},
    {0xF4, 0, QT_TRANSLATE_NOOP("AttributeNames", "熱スロットリング"), "thermal_throttling",
     "thrott|therm"},
    {0xF6, 0, QT_TRANSLATE_NOOP("AttributeNames", "ホスト書き込みセクタ総数"),
     "total_host_sector_writes", "writ|sectorwrite"},
    {0xF7, 0, QT_TRANSLATE_NOOP("AttributeNames", "ホストによるプログラム ページ数"),
     "host_program_page_count", "hostprogram"},
    {0xF8, 0, QT_TRANSLATE_NOOP("AttributeNames", "内部処理によるプログラム ページ数"),
     "background_program_page_count", "ftlprogram|bckgndprogram|backgroundprogram"},
    {0xF9, 0, QT_TRANSLATE_NOOP("AttributeNames", "NAND 書き込み量（GiB）"), "nand_writes_gib",
     "nand|writ|prog"},
    {0xFA, 0, QT_TRANSLATE_NOOP("AttributeNames", "読み込みエラー再試行数"),
     "read_error_retry_count", "readerrorretry|readretry"},
    {0xFB, 0, QT_TRANSLATE_NOOP("AttributeNames", "NAND 書き込み量（ページ）"), "nand_writes_pages",
     "nand|writ"},
    {0xFC, 1, QT_TRANSLATE_NOOP("AttributeNames", "追加の不良ブロック数"), "grown_bad_block_count",
     "bad"},
    {0xFE, 0, QT_TRANSLATE_NOOP("AttributeNames", "落下センサー検出数"), "free_fall_event_count",
     "fall"},
};
} // namespace

// Ids are bytes: one slot per id, filled once, instead of a pass over the
// table for every attribute of every disk.
const AttributeName* findAttributeName(int id) {
    using Index = std::array<const AttributeName*, 256>;
    static const Index index = [] {
        Index byId{};
        for (const AttributeName& row : kNames) {
            if (!byId[row.id])
                byId[row.id] = &row;
        }
        return byId;
    }();
    return id >= 0 && id < 256 ? index[std::size_t(id)] : nullptr;
}

int attributeNameCount() {
    return static_cast<int>(std::size(kNames));
}

QString attributeNameText(const AttributeName& row) {
    return Cm_Tr("AttributeNames", row.name);
}

QString attributeNameText(int id) {
    if (const AttributeName* row = findAttributeName(id))
        return attributeNameText(*row);
    return Cm_Tr("AttributeNames", "ベンダー固有の属性 %1").arg(QString::asprintf("%02X", id));
}

bool excludedFromChangeQueries(int id) {
    return id == kIdPowerOnHours || id == kIdPowerCycles || isTemperatureAttribute(id) ||
           id == kIdHoursInUse;
}

} // namespace vorn::smart
