<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CheckerMain</name>
    <message>
        <source>模擬マシン %1 を表示中（このコンピューターのディスクではありません）</source>
        <translation>Showing the simulated machine %1 (not this computer&apos;s disks)</translation>
    </message>
</context>
</TS>
