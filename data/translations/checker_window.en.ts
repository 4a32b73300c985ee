<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AboutBox</name>
    <message>
        <source>VornDisk Vuda のバージョン情報</source>
        <translation>About VornDisk Vuda</translation>
    </message>
</context>
<context>
    <name>AttributeDetail</name>
    <message>
        <source>SMART属性の詳細情報</source>
        <translation>SMART Attribute Details</translation>
    </message>
    <message>
        <source>属性の説明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>属性の状況</source>
        <translation>Current state</translation>
    </message>
    <message>
        <source>初期値：</source>
        <translation>Initial:</translation>
    </message>
    <message>
        <source>現在値：</source>
        <translation>Current:</translation>
    </message>
    <message>
        <source>最悪値：</source>
        <translation>Worst:</translation>
    </message>
    <message>
        <source>しきい値：</source>
        <translation>Threshold:</translation>
    </message>
    <message>
        <source>劣化率：</source>
        <translation>Depletion:</translation>
    </message>
    <message>
        <source>判定：</source>
        <translation>Verdict:</translation>
    </message>
    <message>
        <source>生の値：</source>
        <translation>Raw value:</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>履歴(&amp;H)...</source>
        <translation>&amp;History...</translation>
    </message>
</context>
<context>
    <name>AttributeList</name>
    <message>
        <source>しきい値以下</source>
        <translation>At or below its threshold</translation>
    </message>
</context>
<context>
    <name>CheckerCommand</name>
    <message>
        <source>SMART情報の更新</source>
        <translation>Refresh SMART information</translation>
    </message>
    <message>
        <source>HDD情報のファイル保存</source>
        <translation>Save disk information to a file</translation>
    </message>
    <message>
        <source>バージョン情報の表示</source>
        <translation>Show version information</translation>
    </message>
    <message>
        <source>操作説明書の表示</source>
        <translation>Show the manual</translation>
    </message>
    <message>
        <source>プログラムに関するサポート情報のWeb表示します
サポート情報のWeb表示</source>
        <translation>Show the program&apos;s support information on the web
Support information on the web</translation>
    </message>
    <message>
        <source>ドライブのセルフテスト
セルフテスト</source>
        <translation>Self-test of the drive
Self-test</translation>
    </message>
</context>
<context>
    <name>CheckerMain</name>
    <message>
        <source>模擬マシン %1 を表示中（このコンピューターのディスクではありません）</source>
        <translation>Showing the simulated machine %1 (not this computer&apos;s disks)</translation>
    </message>
</context>
<context>
    <name>CheckerTray</name>
    <message>
        <source>メイン画面を開く</source>
        <translation>Open the main window</translation>
    </message>
    <message>
        <source>セルフテスト</source>
        <translation>Self-test</translation>
    </message>
    <message>
        <source>サポート情報</source>
        <translation>Support information</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>Version information</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>CheckerWindow</name>
    <message>
        <source>「Drivewatch Vuda」を終了します。よろしいですか？</source>
        <translation>Drivewatch Vuda will quit. Are you sure?</translation>
    </message>
    <message>
        <source>ヘルプファイルがありません</source>
        <translation>The help file is missing.</translation>
    </message>
    <message>
        <source>ヘルプファイルを開くプログラムがありません。ウェブブラウザーをインストールしてください。
%1</source>
        <translation>No program can open the help file. Please install a web browser.
%1</translation>
    </message>
    <message>
        <source>ディスクが見つかりませんでした</source>
        <translation>No disk was found.</translation>
    </message>
    <message>
        <source>S.M.A.R.T. が無効のため、属性はありません</source>
        <translation>S.M.A.R.T. is disabled, so there are no attributes.</translation>
    </message>
    <message>
        <source>このディスクは S.M.A.R.T. の属性を返しませんでした</source>
        <translation>This disk returned no S.M.A.R.T. attributes.</translation>
    </message>
    <message>
        <source>今の状態を基準にする</source>
        <translation>Accept the current state</translation>
    </message>
    <message>
        <source>SMART属性</source>
        <translation>SMART attributes</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimize</translation>
    </message>
</context>
<context>
    <name>DiskButton</name>
    <message>
        <source>温度不明</source>
        <translation>temperature unknown</translation>
    </message>
</context>
<context>
    <name>DiskButtonRow</name>
    <message>
        <source>前のディスクへ</source>
        <translation>Previous disk</translation>
    </message>
    <message>
        <source>次のディスクへ</source>
        <translation>Next disk</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>%1 の履歴</source>
        <translation>History of %1</translation>
    </message>
    <message>
        <source>表示する値</source>
        <translation>Value shown</translation>
    </message>
    <message>
        <source>期間</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>値(&amp;V)：</source>
        <translation>&amp;Value:</translation>
    </message>
    <message>
        <source>期間(&amp;P)：</source>
        <translation>&amp;Period:</translation>
    </message>
    <message>
        <source>履歴</source>
        <translation>History</translation>
    </message>
    <message>
        <source>温度と属性の履歴の表示</source>
        <translation>Show the history of temperature and attributes</translation>
    </message>
</context>
<context>
    <name>InfoPanel</name>
    <message>
        <source>使用時間の再検査</source>
        <translation>Measure the power-on time again</translation>
    </message>
</context>
<context>
    <name>SelfTestDialog</name>
    <message>
        <source>オフライン</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Selective</translation>
    </message>
    <message>
        <source>正常終了</source>
        <translation>Completed without error</translation>
    </message>
    <message>
        <source>失敗: %1</source>
        <translation>Failed: %1</translation>
    </message>
    <message>
        <source>セルフテストログ</source>
        <translation>Self-test log</translation>
    </message>
    <message>
        <source>エラーログ</source>
        <translation>Error log</translation>
    </message>
    <message>
        <source>ショート</source>
        <translation>Short</translation>
    </message>
    <message>
        <source>拡張</source>
        <translation>Extended</translation>
    </message>
    <message>
        <source>搬送</source>
        <translation>Conveyance</translation>
    </message>
    <message>
        <source>状態を読み取れません</source>
        <translation>Cannot read the state</translation>
    </message>
    <message>
        <source>テストは実行されていません</source>
        <translation>No test is running</translation>
    </message>
    <message>
        <source>実行中 %1%</source>
        <translation>Running, %1%</translation>
    </message>
    <message>
        <source>失敗</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>中止されました</source>
        <translation>Aborted</translation>
    </message>
    <message>
        <source>進行していません</source>
        <translation>Not progressing</translation>
    </message>
    <message>
        <source>セルフテスト - %1</source>
        <translation>Self-test - %1</translation>
    </message>
    <message>
        <source>テストの種類</source>
        <translation>Test type</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Abort</translation>
    </message>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>セルフテストログ（新しい順）</source>
        <translation>Self-test log (newest first)</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>残り</source>
        <translation>Remaining</translation>
    </message>
    <message>
        <source>使用時間</source>
        <translation>Power-on hours</translation>
    </message>
    <message>
        <source>最初のエラーLBA</source>
        <translation>First error LBA</translation>
    </message>
    <message>
        <source>コマンド</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1（約%2分）</source>
        <translation>%1 (about %2 min)</translation>
    </message>
    <message>
        <source>エラーログ: %1 件</source>
        <translation>Errors logged: %1</translation>
    </message>
    <message>
        <source>エラーログ: 読み取れません</source>
        <translation>Error log: cannot be read</translation>
    </message>
</context>
</TS>
