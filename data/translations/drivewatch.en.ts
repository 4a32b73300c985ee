<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>DrivewatchLogs</name>
    <message>
        <source>時間</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>セクター</source>
        <translation>sectors</translation>
    </message>
    <message>
        <source>ミリ秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>分</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>デバイス統計:</source>
        <translation>Device statistics:</translation>
    </message>
    <message>
        <source>(なし)</source>
        <translation>(none)</translation>
    </message>
</context>
<context>
    <name>DrivewatchOutput</name>
    <message>
        <source>ディスク %1: %2 (スタンバイ中)</source>
        <translation>Disk %1: %2 (standby)</translation>
    </message>
    <message>
        <source>ディスク %1: %2</source>
        <translation>Disk %1: %2</translation>
    </message>
    <message>
        <source>セルフテスト ログ:
</source>
        <translation>Self-test log:
</translation>
    </message>
    <message>
        <source>  (なし)
</source>
        <translation>  (none)
</translation>
    </message>
    <message>
        <source>  #%1 %2 %3 残り %4% %5 時間 LBA %6
</source>
        <translation>  #%1 %2 %3 %4% remaining at %5 hours LBA %6
</translation>
    </message>
    <message>
        <source>エラー ログ: %1 件
</source>
        <translation>Error log entries: %1
</translation>
    </message>
    <message>
        <source>  #%1 %2 時間 コマンド %3 LBA %4
</source>
        <translation>  #%1 at %2 hours command %3 LBA %4
</translation>
    </message>
</context>
<context>
    <name>DrivewatchRun</name>
    <message>
        <source> (既報)</source>
        <translation> (reported before)</translation>
    </message>
</context>
</TS>
