<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>DiskAlert</name>
    <message>
        <source>、</source>
        <comment>between the names of failing attributes</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>クリティカル警告: 予備領域がしきい値を下回りました</source>
        <translation>Critical warning: available spare fell below its threshold</translation>
    </message>
    <message>
        <source>クリティカル警告: 温度が限界を超えました</source>
        <translation>Critical warning: temperature crossed its limit</translation>
    </message>
    <message>
        <source>クリティカル警告: 信頼性が低下しました</source>
        <translation>Critical warning: reliability is degraded</translation>
    </message>
    <message>
        <source>クリティカル警告: 読み取り専用になりました</source>
        <translation>Critical warning: the drive became read-only</translation>
    </message>
    <message>
        <source>クリティカル警告: 揮発性メモリのバックアップが故障しました</source>
        <translation>Critical warning: the volatile memory backup failed</translation>
    </message>
    <message>
        <source>クリティカル警告: 永続メモリ領域が読み取り専用になりました</source>
        <translation>Critical warning: the persistent memory region became read-only</translation>
    </message>
    <message>
        <source>クリティカル警告: ビット %1 が立ちました</source>
        <translation>Critical warning: bit %1 is set</translation>
    </message>
    <message>
        <source>%1 (%2) の値が %3 から %4 に下がりました</source>
        <translation>The value of %1 (%2) fell from %3 to %4</translation>
    </message>
    <message>
        <source>%1 (%2) が %3 から %4 に増えました</source>
        <translation>%1 (%2) rose from %3 to %4</translation>
    </message>
    <message>
        <source>温度が %1℃ になりました（上限 %2℃）</source>
        <translation>Temperature reached %1 °C (limit %2 °C)</translation>
    </message>
    <message>
        <source>メディアとデータ保全のエラーが %1 から %2 に増えました</source>
        <translation>Media and data integrity errors rose from %1 to %2</translation>
    </message>
    <message>
        <source>予備領域の残りが %1% になりました（しきい値 %2%）</source>
        <translation>Available spare is down to %1% (threshold %2%)</translation>
    </message>
    <message>
        <source>セルフテストが失敗しました（状態 %1）</source>
        <translation>Self-test failed (status %1)</translation>
    </message>
    <message>
        <source>エラーログの記録が %1 件から %2 件に増えました</source>
        <translation>Error log entries rose from %1 to %2</translation>
    </message>
    <message>
        <source>健康状態は「異常」です</source>
        <translation>Health status is Bad</translation>
    </message>
    <message>
        <source>健康状態は「異常」です（%1）</source>
        <translation>Health status is Bad (%1)</translation>
    </message>
    <message>
        <source>健康状態が「異常」になりました</source>
        <translation>Health status changed to Bad</translation>
    </message>
    <message>
        <source>健康状態が「異常」になりました（%1）</source>
        <translation>Health status changed to Bad (%1)</translation>
    </message>
    <message>
        <source>健康状態は「注意」です</source>
        <translation>Health status is Caution</translation>
    </message>
    <message>
        <source>健康状態は「注意」です（%1）</source>
        <translation>Health status is Caution (%1)</translation>
    </message>
    <message>
        <source>健康状態が「注意」になりました</source>
        <translation>Health status changed to Caution</translation>
    </message>
    <message>
        <source>健康状態が「注意」になりました（%1）</source>
        <translation>Health status changed to Caution (%1)</translation>
    </message>
</context>
<context>
    <name>HistoryGraphs</name>
    <message>
        <source>24時間</source>
        <translation>24 hours</translation>
    </message>
    <message>
        <source>30日</source>
        <translation>30 days</translation>
    </message>
    <message>
        <source>1年</source>
        <translation>1 year</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>24時間の記録はありません</source>
        <translation>No readings in the last 24 hours</translation>
    </message>
    <message>
        <source>30日の記録はありません</source>
        <translation>No readings in the last 30 days</translation>
    </message>
    <message>
        <source>1年の記録はありません</source>
        <translation>No readings in the last year</translation>
    </message>
    <message>
        <source>すべての記録はありません</source>
        <translation>No readings yet</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>温度 (℃)</source>
        <translation>Temperature (°C)</translation>
    </message>
    <message>
        <source>%1 (現在値)</source>
        <translation>%1 (current value)</translation>
    </message>
    <message>
        <source>現在値</source>
        <translation>Current value</translation>
    </message>
    <message>
        <source>%1 (生の値)</source>
        <translation>%1 (raw value)</translation>
    </message>
    <message>
        <source>生の値</source>
        <translation>Raw value</translation>
    </message>
</context>
<context>
    <name>PassNotice</name>
    <message numerus="yes">
        <source>%n 台のディスクの状態が変わりました</source>
        <translation>
            <numerusform>The state of %n disk changed</numerusform>
            <numerusform>The state of %n disks changed</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ScannedDisk</name>
    <message>
        <source>USB変換アダプタ %1 はS.M.A.R.T.を通しません</source>
        <translation>USB bridge %1 does not pass S.M.A.R.T. through</translation>
    </message>
    <message>
        <source>未知のUSB変換アダプタ %1 はS.M.A.R.T.の問い合わせに答えません</source>
        <translation>Unknown USB bridge %1 does not answer S.M.A.R.T. queries</translation>
    </message>
    <message>
        <source>USB変換アダプタ %1 はNVMeの問い合わせに答えません</source>
        <translation>USB bridge %1 does not answer NVMe queries</translation>
    </message>
    <message>
        <source>USB変換アダプタ %1 から識別情報を読めません</source>
        <translation>Cannot read identify data through USB bridge %1</translation>
    </message>
    <message>
        <source>USB変換アダプタ %1 からNVMeの健康情報を読めません</source>
        <translation>Cannot read the NVMe health log through USB bridge %1</translation>
    </message>
    <message>
        <source>S.M.A.R.T.が無効か、対応していません</source>
        <translation>S.M.A.R.T. is disabled or not supported</translation>
    </message>
</context>
</TS>
