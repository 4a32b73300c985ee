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
</TS>
