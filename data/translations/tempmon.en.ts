<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>HeatgaugeAbout</name>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>HeatgaugeHistory</name>
    <message>
        <source>温度の履歴 (24時間)</source>
        <translation>Temperature history (24 hours)</translation>
    </message>
    <message>
        <source>温度の履歴 - Heatgauge Vuda</source>
        <translation>Temperature history - Heatgauge Vuda</translation>
    </message>
</context>
<context>
    <name>HeatgaugeMenu</name>
    <message>
        <source>半透明率</source>
        <translation>Translucency</translation>
    </message>
    <message>
        <source>ウィンドウ表示</source>
        <translation>Show window</translation>
    </message>
    <message>
        <source>最前面に表示</source>
        <translation>Always on top</translation>
    </message>
    <message>
        <source>マウス入力</source>
        <translation>Mouse input</translation>
    </message>
    <message>
        <source>トレイアイコンを1つにまとめる</source>
        <translation>One tray icon for all disks</translation>
    </message>
    <message>
        <source>温度の履歴(&amp;H) ...</source>
        <translation>Temperature &amp;history...</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A) ...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>Heatgauge Vuda の終了(&amp;X)</source>
        <translation>E&amp;xit Heatgauge Vuda</translation>
    </message>
</context>
<context>
    <name>HeatgaugeNotice</name>
    <message>
        <source>%1 — 変化を記録できないため、このディスクの変化は通知されません</source>
        <translation>%1 — changes cannot be recorded, so no change of this disk will be reported</translation>
    </message>
    <message>
        <source>設定ファイル %1 を読めません（%2）。既定の設定で動作し、このファイルは書き換えません。</source>
        <translation>Cannot read the settings file %1 (%2). Running with the default settings; this file will not be overwritten.</translation>
    </message>
    <message>
        <source>ディスクの今の状態を基準にして、同じ変化は知らせないようにしますか？</source>
        <translation>Take the present state of the disks as the baseline, so that the same changes are not reported again?</translation>
    </message>
    <message>
        <source>今の状態を基準にする</source>
        <translation>Use the present state as baseline</translation>
    </message>
</context>
<context>
    <name>HeatgaugeStrip</name>
    <message>
        <source>ディスクの温度</source>
        <translation>Disk temperatures</translation>
    </message>
</context>
<context>
    <name>HeatgaugeTip</name>
    <message>
        <source>スタンバイ中</source>
        <translation>Standby</translation>
    </message>
    <message>
        <source>24時間: %1-%2℃</source>
        <translation>Last 24 hours: %1-%2 ℃</translation>
    </message>
    <message>
        <source>セルフテスト中 %1%</source>
        <translation>Self-test running: %1% done</translation>
    </message>
</context>
</TS>
