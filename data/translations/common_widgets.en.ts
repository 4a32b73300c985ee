<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>HistoryChart</name>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>最低 %1、最高 %2 (%3 点)</source>
        <translation>Lowest %1, highest %2 (%3 points)</translation>
    </message>
</context>
<context>
    <name>SelectedFolder</name>
    <message>
        <source>ﾌｫﾙﾀﾞを選んでください</source>
        <translation>Choose a folder</translation>
    </message>
</context>
</TS>
