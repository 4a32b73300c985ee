#include "SelfTestDialog.h"

#include "DialogUnits.h"
#include "Translation.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace vorn::diskpass;
using vorn::hdd::SelfTestKind;
using Phase = vorn::diskpass::SelfTestSnapshot::Phase;

namespace vorn::checker {

namespace {

constexpr SelfTestKind kKinds[] = {SelfTestKind::Short, SelfTestKind::Extended,
                                   SelfTestKind::Conveyance};
// The error log shows its newest entries; the count says how many there are.
constexpr int kErrorRows = 5;

QString TypeCaption(const QString& type) {
    if (type == QLatin1String("short"))
        return CSelfTestDlg::KindCaption(SelfTestKind::Short);
    if (type == QLatin1String("extended"))
        return CSelfTestDlg::KindCaption(SelfTestKind::Extended);
    if (type == QLatin1String("conveyance"))
        return CSelfTestDlg::KindCaption(SelfTestKind::Conveyance);
    if (type == QLatin1String("offline"))
        return Cm_Tr("SelfTestDialog", "オフライン");
    if (type == QLatin1String("selective"))
        return Cm_Tr("SelfTestDialog", "選択");
    return type;
}

// Code 0 means "ended without error" for ATA and NVMe alike; the other
// codes differ between the two, so the drive's own words stay.
QString StatusCaption(const hdd::SelfTestEntry& entry) {
    if (entry.statusCode == 0)
        return Cm_Tr("SelfTestDialog", "正常終了");
    if (entry.failed)
        return Cm_Tr("SelfTestDialog", "失敗: %1").arg(entry.status);
    return entry.status;
}

QTableWidget* MakeTable(const QStringList& headers, const QString& name, QWidget* parent) {
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(name);
    table->setAccessibleName(name == QLatin1String("selftestlog")
                                 ? Cm_Tr("SelfTestDialog", "セルフテストログ")
                                 : Cm_Tr("SelfTestDialog", "エラーログ"));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Narrow numbers, and the last column takes what is left.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void SetRow(QTableWidget* table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(cells[column]));
}

} // namespace

QString CSelfTestDlg::KindCaption(SelfTestKind kind) {
    switch (kind) {
    case SelfTestKind::Short:
        return Cm_Tr("SelfTestDialog", "ショート");
    case SelfTestKind::Extended:
        return Cm_Tr("SelfTestDialog", "拡張");
    case SelfTestKind::Conveyance:
        return Cm_Tr("SelfTestDialog", "搬送");
    }
    return QString();
}

QString CSelfTestDlg::PhaseCaption(const SelfTestSnapshot& snapshot) {
    switch (snapshot.phase) {
    case Phase::Unknown:
        return Cm_Tr("SelfTestDialog", "状態を読み取れません");
    case Phase::Idle:
        return Cm_Tr("SelfTestDialog", "テストは実行されていません");
    case Phase::Running:
        return Cm_Tr("SelfTestDialog", "実行中 %1%").arg(snapshot.progressPercent());
    case Phase::Passed:
        return Cm_Tr("SelfTestDialog", "正常終了");
    case Phase::Failed:
        return Cm_Tr("SelfTestDialog", "失敗");
    case Phase::Aborted:
        return Cm_Tr("SelfTestDialog", "中止されました");
    case Phase::TimedOut:
        return Cm_Tr("SelfTestDialog", "進行していません");
    }
    return QString();
}

CSelfTestDlg::CSelfTestDlg(const QString& diskName, QWidget* parent) : QDialog(parent) {
    setWindowTitle(Cm_Tr("SelfTestDialog", "セルフテスト - %1").arg(diskName));
    setFont(CheckerDialogFont());
    const CDialogUnits units(font());

    auto* layout = new QVBoxLayout(this);
    auto* tests = new QGroupBox(Cm_Tr("SelfTestDialog", "テストの種類"), this);
    auto* testsLayout = new QHBoxLayout(tests);
    for (int k = 0; k < 3; ++k) {
        m_kinds[k] = new QRadioButton(KindCaption(kKinds[k]), tests);
        m_kinds[k]->setObjectName(QStringLiteral("kind-") + hdd::selfTestKindName(kKinds[k]));
        testsLayout->addWidget(m_kinds[k]);
    }
    m_start = new QPushButton(Cm_Tr("SelfTestDialog", "開始"), tests);
    m_start->setObjectName(QStringLiteral("start"));
    m_abort = new QPushButton(Cm_Tr("SelfTestDialog", "中止"), tests);
    m_abort->setObjectName(QStringLiteral("abort"));
    testsLayout->addStretch();
    testsLayout->addWidget(m_start);
    testsLayout->addWidget(m_abort);
    layout->addWidget(tests);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setAccessibleName(Cm_Tr("SelfTestDialog", "進行状況"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("state"));
    layout->addWidget(m_state);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setWordWrap(true);
    layout->addWidget(m_message);

    layout->addWidget(new QLabel(Cm_Tr("SelfTestDialog", "セルフテストログ（新しい順）"), this));
    m_log =
        MakeTable({Cm_Tr("SelfTestDialog", "番号"), Cm_Tr("SelfTestDialog", "種類"),
                   Cm_Tr("SelfTestDialog", "結果"), Cm_Tr("SelfTestDialog", "残り"),
                   Cm_Tr("SelfTestDialog", "使用時間"), Cm_Tr("SelfTestDialog", "最初のエラーLBA")},
                  QStringLiteral("selftestlog"), this);
    layout->addWidget(m_log, 2);

    m_errorCount = new QLabel(this);
    m_errorCount->setObjectName(QStringLiteral("errorcount"));
    layout->addWidget(m_errorCount);
    m_errors = MakeTable({Cm_Tr("SelfTestDialog", "番号"), Cm_Tr("SelfTestDialog", "使用時間"),
                          Cm_Tr("SelfTestDialog", "コマンド"), Cm_Tr("SelfTestDialog", "エラー"),
                          QStringLiteral("LBA")},
                         QStringLiteral("errorlog"), this);
    layout->addWidget(m_errors, 1);

    auto* close = new QPushButton(Cm_Tr("SelfTestDialog", "閉じる"), this);
    close->setAutoDefault(false);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(close);
    layout->addLayout(closeRow);
    for (QPushButton* button : {m_start, m_abort})
        button->setAutoDefault(false);

    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_start, &QPushButton::clicked, this, &CSelfTestDlg::StartChosen);
    connect(m_abort, &QPushButton::clicked, this, &CSelfTestDlg::abortRequested);
    Show(SelfTestSnapshot{});
    // The layout's size, or larger where the captions (English ones) ask it.
    resize(QSize(units.X(330), units.Y(260)).expandedTo(sizeHint()));
}

QRadioButton* CSelfTestDlg::KindButton(SelfTestKind kind) const {
    return m_kinds[int(kind)];
}

void CSelfTestDlg::StartChosen() {
    for (int k = 0; k < 3; ++k) {
        if (m_kinds[k]->isChecked() && m_kinds[k]->isEnabled()) {
            emit startRequested(kKinds[k]);
            return;
        }
    }
}

void CSelfTestDlg::Show(const SelfTestSnapshot& snapshot) {
    const bool running = snapshot.running();
    bool anyChecked = false;
    for (int k = 0; k < 3; ++k) {
        const SelfTestKind kind = kKinds[k];
        const bool offered = snapshot.capabilities.offers(kind);
        const int minutes = snapshot.capabilities.minutes(kind);
        m_kinds[k]->setText(
            minutes > 0
                ? Cm_Tr("SelfTestDialog", "%1（約%2分）").arg(KindCaption(kind)).arg(minutes)
                : KindCaption(kind));
        m_kinds[k]->setEnabled(offered && !running);
        if (!offered && m_kinds[k]->isChecked()) {
            m_kinds[k]->setAutoExclusive(false);
            m_kinds[k]->setChecked(false);
            m_kinds[k]->setAutoExclusive(true);
        }
        anyChecked = anyChecked || m_kinds[k]->isChecked();
    }
    // The short test is the usual first choice.
    if (!anyChecked && snapshot.capabilities.offers(SelfTestKind::Short))
        m_kinds[0]->setChecked(true);
    m_start->setEnabled(!running && !snapshot.busy && snapshot.capabilities.any());
    m_abort->setEnabled(running && !snapshot.busy);

    m_progress->setValue(running                           ? snapshot.progressPercent()
                         : snapshot.phase == Phase::Passed ? 100
                                                           : 0);
    m_state->setText(PhaseCaption(snapshot));
    m_message->setText(snapshot.message);
    m_message->setVisible(!snapshot.message.isEmpty());

    const std::vector<hdd::SelfTestEntry>& entries = snapshot.logs.selfTests;
    m_log->setRowCount(int(entries.size()));
    for (int row = 0; row < int(entries.size()); ++row) {
        const hdd::SelfTestEntry& e = entries[std::size_t(row)];
        SetRow(m_log, row,
               {QString::number(e.number), TypeCaption(e.type), StatusCaption(e),
                QStringLiteral("%1%").arg(e.remainingPercent), QString::number(e.powerOnHours),
                e.firstErrorLba ? QString::number(*e.firstErrorLba) : QStringLiteral("-")});
    }

    const hdd::ErrorLog& errors = snapshot.logs.errors;
    m_errorCount->setText(snapshot.logs.errorLogRead
                              ? Cm_Tr("SelfTestDialog", "エラーログ: %1 件").arg(errors.count)
                              : Cm_Tr("SelfTestDialog", "エラーログ: 読み取れません"));
    const int shown = std::min(kErrorRows, int(errors.entries.size()));
    m_errors->setRowCount(shown);
    for (int row = 0; row < shown; ++row) {
        const hdd::ErrorLogEntry& e = errors.entries[std::size_t(row)];
        SetRow(m_errors, row,
               {QString::number(e.number), QString::number(e.powerOnHours),
                QStringLiteral("%1h").arg(int(e.command), 2, 16, QLatin1Char('0')).toUpper(),
                QStringLiteral("%1h").arg(int(e.error), 2, 16, QLatin1Char('0')).toUpper(),
                QString::number(e.lba)});
    }
}

} // namespace vorn::checker
