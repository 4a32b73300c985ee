<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AttributeDetail</name>
    <message>
        <source>低</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>中</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>高</source>
        <translation>High</translation>
    </message>
    <message>
        <source>%1 [重要度：%2]

%3</source>
        <translation>%1 [importance: %2]

%3</translation>
    </message>
    <message>
        <source>しきい値以下（異常）</source>
        <translation>Below threshold (bad)</translation>
    </message>
    <message>
        <source>しきい値を上回る</source>
        <translation>Above threshold</translation>
    </message>
    <message>
        <source>しきい値なし</source>
        <translation>No threshold</translation>
    </message>
</context>
<context>
    <name>CheckerMonitor</name>
    <message>
        <source>ハードディスクの使用時間を再調査します。
よろしいですか？</source>
        <translation>The unit of the disk&apos;s power-on hours will be measured again.
Continue?</translation>
    </message>
    <message>
        <source>ディスク情報を保存するフォルダを選択してください</source>
        <translation>Choose the folder to save the disk information in</translation>
    </message>
    <message>
        <source>ディスクの今の状態を基準にして、同じ変化は知らせないようにしますか？</source>
        <translation>Take the disk&apos;s present state as the baseline, so that the same changes are not reported again?</translation>
    </message>
    <message>
        <source>ディスクを読み取る権限がありません。ディスクヘルパー（vorn-diskhelper）をインストールするか、管理者として実行してください。</source>
        <translation>No permission to read the disks. Install the disk helper (vorn-diskhelper) or run the program as an administrator.</translation>
    </message>
</context>
<context>
    <name>CheckerSnapshot</name>
    <message>
        <source>スタンバイ中</source>
        <translation>Standby</translation>
    </message>
</context>
<context>
    <name>DiskReports</name>
    <message>
        <source>ディスク情報を保存しました。
%1</source>
        <translation>Disk information saved.
%1</translation>
    </message>
    <message>
        <source>ほか %1 件</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>ディスク情報を保存できませんでした。
%1</source>
        <translation>Disk information could not be saved.
%1</translation>
    </message>
    <message numerus="yes">
        <source>

%n 個のファイルは保存しました：%1</source>
        <translation>
            <numerusform>

%n file was saved in %1</numerusform>
            <numerusform>

%n files were saved in %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NvmeRows</name>
    <message>
        <source>温度センサー%1</source>
        <translation>Temperature sensor %1</translation>
    </message>
</context>
<context>
    <name>PanelText</name>
    <message>
        <source>%1 回</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>有効</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>無効</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>異常</source>
        <translation>Bad</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Caution</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between attribute names</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>しきい値以下の属性: %1</source>
        <translation>Below threshold: %1</translation>
    </message>
    <message>
        <source>判別中</source>
        <translation>Measuring</translation>
    </message>
    <message>
        <source>%1 時間</source>
        <translation>%1 hours</translation>
    </message>
    <message>
        <source>%1 日 %2 時間</source>
        <translation>%1 days %2 hours</translation>
    </message>
    <message>
        <source>HDD温度：</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source>使用時間：</source>
        <translation>Power-on:</translation>
    </message>
    <message>
        <source>電源投入回数：</source>
        <translation>Power cycles:</translation>
    </message>
    <message>
        <source>モデル名：</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>ファームウェア：</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>シリアル番号：</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>HDD全容量：</source>
        <translation>Capacity:</translation>
    </message>
    <message>
        <source>ドライブ名：</source>
        <translation>Volumes:</translation>
    </message>
    <message>
        <source>インターフェイス：</source>
        <translation>Interface:</translation>
    </message>
    <message>
        <source>対応規格：</source>
        <translation>Standard:</translation>
    </message>
    <message>
        <source>対応転送モード：</source>
        <translation>Supported mode:</translation>
    </message>
    <message>
        <source>実効転送モード：</source>
        <translation>Current mode:</translation>
    </message>
    <message>
        <source>S.M.A.R.T..：</source>
        <translation>S.M.A.R.T.:</translation>
    </message>
    <message>
        <source>HDD状態：</source>
        <translation>Health:</translation>
    </message>
    <message>
        <source>属性名</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>初期値</source>
        <translation>Initial</translation>
    </message>
    <message>
        <source>現在値</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>しきい値</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>最悪値</source>
        <translation>Worst</translation>
    </message>
    <message>
        <source>劣化％</source>
        <translation>Depletion %</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Raw</translation>
    </message>
</context>
</TS>
