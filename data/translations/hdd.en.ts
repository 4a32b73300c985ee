<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
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
</TS>
