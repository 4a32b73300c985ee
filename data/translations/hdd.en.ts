<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AttributeNames</name>
    <message>
        <source>読込エラー率</source>
        <translation>Raw Read Error Rate</translation>
    </message>
    <message>
        <source>スループット</source>
        <translation>Throughput Performance</translation>
    </message>
    <message>
        <source>スピンアップ時間</source>
        <translation>Spin-Up Time</translation>
    </message>
    <message>
        <source>スタート／ストップ数</source>
        <translation>Start/Stop Count</translation>
    </message>
    <message>
        <source>再配置セクタ数</source>
        <translation>Reallocated Sectors Count</translation>
    </message>
    <message>
        <source>読込チャンネル マージン</source>
        <translation>Read Channel Margin</translation>
    </message>
    <message>
        <source>シークエラー率</source>
        <translation>Seek Error Rate</translation>
    </message>
    <message>
        <source>シークタイム性能</source>
        <translation>Seek Time Performance</translation>
    </message>
    <message>
        <source>パワーオン時間</source>
        <translation>Power-On Hours</translation>
    </message>
    <message>
        <source>スピンアップ再試行回数</source>
        <translation>Spin Retry Count</translation>
    </message>
    <message>
        <source>キャリブレーション再試行回数</source>
        <translation>Calibration Retry Count</translation>
    </message>
    <message>
        <source>電源投入回数</source>
        <translation>Power Cycle Count</translation>
    </message>
    <message>
        <source>Soft read error rate</source>
        <translation>Soft Read Error Rate</translation>
    </message>
    <message>
        <source>予備ブロックの残り</source>
        <translation>Available Reserved Blocks</translation>
    </message>
    <message>
        <source>プログラム失敗数</source>
        <translation>Program Fail Count</translation>
    </message>
    <message>
        <source>消去失敗数</source>
        <translation>Erase Fail Count</translation>
    </message>
    <message>
        <source>平均消去回数</source>
        <translation>Average Erase Count</translation>
    </message>
    <message>
        <source>予期しない電源断の回数</source>
        <translation>Unexpected Power Loss Count</translation>
    </message>
    <message>
        <source>プログラム失敗数（チップ）</source>
        <translation>Program Fail Count (Chip)</translation>
    </message>
    <message>
        <source>消去失敗数（チップ）</source>
        <translation>Erase Fail Count (Chip)</translation>
    </message>
    <message>
        <source>ウェアレベリング回数</source>
        <translation>Wear Leveling Count</translation>
    </message>
    <message>
        <source>使用済み予備ブロック数（チップ）</source>
        <translation>Used Reserved Block Count (Chip)</translation>
    </message>
    <message>
        <source>使用済み予備ブロック数（合計）</source>
        <translation>Used Reserved Block Count (Total)</translation>
    </message>
    <message>
        <source>未使用予備ブロック数（合計）</source>
        <translation>Unused Reserved Block Count (Total)</translation>
    </message>
    <message>
        <source>プログラム失敗数（合計）</source>
        <translation>Program Fail Count (Total)</translation>
    </message>
    <message>
        <source>消去失敗数（合計）</source>
        <translation>Erase Fail Count (Total)</translation>
    </message>
    <message>
        <source>実行時の不良ブロック数</source>
        <translation>Runtime Bad Block Count</translation>
    </message>
    <message>
        <source>エンドツーエンド エラー数</source>
        <translation>End-to-End Error Count</translation>
    </message>
    <message>
        <source>報告された訂正不能エラー数</source>
        <translation>Reported Uncorrectable Errors</translation>
    </message>
    <message>
        <source>コマンド タイムアウト数</source>
        <translation>Command Timeout Count</translation>
    </message>
    <message>
        <source>高浮上書き込み数</source>
        <translation>High Fly Writes</translation>
    </message>
    <message>
        <source>エアフロー温度</source>
        <translation>Airflow Temperature</translation>
    </message>
    <message>
        <source>加速度センサー検出エラー率</source>
        <translation>G-Sense Error Rate</translation>
    </message>
    <message>
        <source>電源切断回避数</source>
        <translation>Power-Off Retract Count</translation>
    </message>
    <message>
        <source>ロード／アンロード・サイクル数</source>
        <translation>Load/Unload Cycle Count</translation>
    </message>
    <message>
        <source>HDD内部温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>ハードウエアECC復旧</source>
        <translation>Hardware ECC Recovered</translation>
    </message>
    <message>
        <source>再割り当て数</source>
        <translation>Reallocation Event Count</translation>
    </message>
    <message>
        <source>不安定セクター数</source>
        <translation>Current Pending Sector Count</translation>
    </message>
    <message>
        <source>未訂正エラー数</source>
        <translation>Uncorrectable Sector Count</translation>
    </message>
    <message>
        <source>UltraDMA CRC エラー数</source>
        <translation>UltraDMA CRC Error Count</translation>
    </message>
    <message>
        <source>書き込みエラー率</source>
        <translation>Write Error Rate</translation>
    </message>
    <message>
        <source>Data Address Mark errors</source>
        <translation>Data Address Mark Errors</translation>
    </message>
    <message>
        <source>Run out cancel</source>
        <translation>Run Out Cancel</translation>
    </message>
    <message>
        <source>Soft ECC correction</source>
        <translation>Soft ECC Correction</translation>
    </message>
    <message>
        <source>熱エラー率</source>
        <translation>Thermal Asperity Rate</translation>
    </message>
    <message>
        <source>ヘッド高</source>
        <translation>Flying Height</translation>
    </message>
    <message>
        <source>最大回転電流</source>
        <translation>Spin High Current</translation>
    </message>
    <message>
        <source>Spin buzz</source>
        <translation>Spin Buzz</translation>
    </message>
    <message>
        <source>Offline seek performance</source>
        <translation>Offline Seek Performance</translation>
    </message>
    <message>
        <source>内部冗長による復旧成功数</source>
        <translation>Internal Redundancy Recovery Count</translation>
    </message>
    <message>
        <source>読み取り妨害による再配置数</source>
        <translation>Read Disturb Reallocation Count</translation>
    </message>
    <message>
        <source>SATA 物理層エラー数</source>
        <translation>SATA PHY Error Count</translation>
    </message>
    <message>
        <source>読み込み再試行数</source>
        <translation>Read Retry Count</translation>
    </message>
    <message>
        <source>ディスク交換</source>
        <translation>Disk Shift</translation>
    </message>
    <message>
        <source>利用時間</source>
        <translation>Loaded Hours</translation>
    </message>
    <message>
        <source>ロード／アンロード再試行回数</source>
        <translation>Load/Unload Retry Count</translation>
    </message>
    <message>
        <source>Load friction</source>
        <translation>Load Friction</translation>
    </message>
    <message>
        <source>Load/Unload cycle count</source>
        <translation>Load/Unload Cycle Count</translation>
    </message>
    <message>
        <source>Load-in time</source>
        <translation>Load-In Time</translation>
    </message>
    <message>
        <source>Torque amplification count</source>
        <translation>Torque Amplification Count</translation>
    </message>
    <message>
        <source>Power-off retract count</source>
        <translation>Power-Off Retract Count</translation>
    </message>
    <message>
        <source>GMR head amplitude</source>
        <translation>GMR Head Amplitude</translation>
    </message>
    <message>
        <source>予備領域の残り</source>
        <translation>Available Reserved Space</translation>
    </message>
    <message>
        <source>メディア消耗度</source>
        <translation>Media Wearout Indicator</translation>
    </message>
    <message>
        <source>熱スロットリング状態</source>
        <translation>Thermal Throttle Status</translation>
    </message>
    <message>
        <source>電源断からの復旧回数</source>
        <translation>Power Loss Recovery Count</translation>
    </message>
    <message>
        <source>Head flying hours</source>
        <translation>Head Flying Hours</translation>
    </message>
    <message>
        <source>総書き込み量</source>
        <translation>Total Data Written</translation>
    </message>
    <message>
        <source>総読み込み量</source>
        <translation>Total Data Read</translation>
    </message>
    <message>
        <source>NAND 書き込み量</source>
        <translation>NAND Writes</translation>
    </message>
    <message>
        <source>熱スロットリング</source>
        <translation>Thermal Throttling</translation>
    </message>
    <message>
        <source>ホスト書き込みセクタ総数</source>
        <translation>Total Host Sector Writes</translation>
    </message>
    <message>
        <source>ホストによるプログラム ページ数</source>
        <translation>Host Program Page Count</translation>
    </message>
    <message>
        <source>内部処理によるプログラム ページ数</source>
        <translation>Background Program Page Count</translation>
    </message>
    <message>
        <source>NAND 書き込み量（GiB）</source>
        <translation>NAND Writes (GiB)</translation>
    </message>
    <message>
        <source>読み込みエラー再試行数</source>
        <translation>Read Error Retry Count</translation>
    </message>
    <message>
        <source>NAND 書き込み量（ページ）</source>
        <translation>NAND Writes (Pages)</translation>
    </message>
    <message>
        <source>追加の不良ブロック数</source>
        <translation>Grown Bad Block Count</translation>
    </message>
    <message>
        <source>落下センサー検出数</source>
        <translation>Free Fall Event Count</translation>
    </message>
    <message>
        <source>ベンダー固有の属性 %1</source>
        <translation>Vendor Specific Attribute %1</translation>
    </message>
    <message>
        <source>残り寿命</source>
        <translation>Remaining Life</translation>
    </message>
    <message>
        <source>寿命の消費率</source>
        <translation>Life Used</translation>
    </message>
    <message>
        <source>訂正不能エラー数</source>
        <translation>Uncorrectable Error Count</translation>
    </message>
    <message>
        <source>再配置ブロック数</source>
        <translation>Reallocated Block Count</translation>
    </message>
    <message>
        <source>不良ブロック数</source>
        <translation>Bad Block Count</translation>
    </message>
    <message>
        <source>CRC エラー数</source>
        <translation>CRC Error Count</translation>
    </message>
    <message>
        <source>SATA 速度低下回数</source>
        <translation>SATA Downshift Count</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>消去回数</source>
        <translation>Erase Count</translation>
    </message>
    <message>
        <source>書き込み量</source>
        <translation>Data Written</translation>
    </message>
    <message>
        <source>読み込み量</source>
        <translation>Data Read</translation>
    </message>
</context>
<context>
    <name>DeviceStatistics</name>
    <message>
        <source>電源投入回数</source>
        <translation>Lifetime Power-On Resets</translation>
    </message>
    <message>
        <source>使用時間</source>
        <translation>Power-On Hours</translation>
    </message>
    <message>
        <source>書き込み論理セクター数</source>
        <translation>Logical Sectors Written</translation>
    </message>
    <message>
        <source>書き込みコマンド数</source>
        <translation>Number of Write Commands</translation>
    </message>
    <message>
        <source>読み込み論理セクター数</source>
        <translation>Logical Sectors Read</translation>
    </message>
    <message>
        <source>読み込みコマンド数</source>
        <translation>Number of Read Commands</translation>
    </message>
    <message>
        <source>日時タイムスタンプ</source>
        <translation>Date and Time Timestamp</translation>
    </message>
    <message>
        <source>保留中のエラー数</source>
        <translation>Pending Error Count</translation>
    </message>
    <message>
        <source>現在の温度</source>
        <translation>Current Temperature</translation>
    </message>
    <message>
        <source>短期平均温度</source>
        <translation>Average Short Term Temperature</translation>
    </message>
    <message>
        <source>長期平均温度</source>
        <translation>Average Long Term Temperature</translation>
    </message>
    <message>
        <source>最高温度</source>
        <translation>Highest Temperature</translation>
    </message>
    <message>
        <source>最低温度</source>
        <translation>Lowest Temperature</translation>
    </message>
    <message>
        <source>短期平均温度の最高</source>
        <translation>Highest Average Short Term Temperature</translation>
    </message>
    <message>
        <source>短期平均温度の最低</source>
        <translation>Lowest Average Short Term Temperature</translation>
    </message>
    <message>
        <source>長期平均温度の最高</source>
        <translation>Highest Average Long Term Temperature</translation>
    </message>
    <message>
        <source>長期平均温度の最低</source>
        <translation>Lowest Average Long Term Temperature</translation>
    </message>
    <message>
        <source>上限温度を超えた時間</source>
        <translation>Time in Over-Temperature</translation>
    </message>
    <message>
        <source>規定の最高動作温度</source>
        <translation>Specified Maximum Operating Temperature</translation>
    </message>
    <message>
        <source>下限温度を下回った時間</source>
        <translation>Time in Under-Temperature</translation>
    </message>
    <message>
        <source>規定の最低動作温度</source>
        <translation>Specified Minimum Operating Temperature</translation>
    </message>
</context>
<context>
    <name>NvmeHealth</name>
    <message>
        <source>クリティカル警告</source>
        <translation>Critical Warning</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>予備領域の残り</source>
        <translation>Available Spare</translation>
    </message>
    <message>
        <source>予備領域のしきい値</source>
        <translation>Available Spare Threshold</translation>
    </message>
    <message>
        <source>使用率（寿命の推定）</source>
        <translation>Percentage Used (Life Estimate)</translation>
    </message>
    <message>
        <source>読み込み量</source>
        <translation>Data Read</translation>
    </message>
    <message>
        <source>書き込み量</source>
        <translation>Data Written</translation>
    </message>
    <message>
        <source>ホスト読み込みコマンド数</source>
        <translation>Host Read Commands</translation>
    </message>
    <message>
        <source>ホスト書き込みコマンド数</source>
        <translation>Host Write Commands</translation>
    </message>
    <message>
        <source>コントローラ稼働時間（分）</source>
        <translation>Controller Busy Time (min)</translation>
    </message>
    <message>
        <source>電源投入回数</source>
        <translation>Power Cycles</translation>
    </message>
    <message>
        <source>使用時間</source>
        <translation>Power-On Hours</translation>
    </message>
    <message>
        <source>安全でない電源断の回数</source>
        <translation>Unsafe Shutdowns</translation>
    </message>
    <message>
        <source>メディアとデータ保全のエラー</source>
        <translation>Media and Data Integrity Errors</translation>
    </message>
    <message>
        <source>エラーログの件数</source>
        <translation>Error Log Entries</translation>
    </message>
    <message>
        <source>警告温度を超えた時間（分）</source>
        <translation>Warning Temperature Time (min)</translation>
    </message>
    <message>
        <source>危険温度を超えた時間（分）</source>
        <translation>Critical Temperature Time (min)</translation>
    </message>
    <message>
        <source>温度管理1への移行回数</source>
        <translation>Thermal Management T1 Transitions</translation>
    </message>
    <message>
        <source>温度管理2への移行回数</source>
        <translation>Thermal Management T2 Transitions</translation>
    </message>
    <message>
        <source>温度管理1の合計時間（秒）</source>
        <translation>Thermal Management T1 Total Time (s)</translation>
    </message>
    <message>
        <source>温度管理2の合計時間（秒）</source>
        <translation>Thermal Management T2 Total Time (s)</translation>
    </message>
</context>
</TS>
