#include "trace/protokollform.h"

#include "trace/pcapngwriter.h"
#include "trace/tracemodel.h"
#include "ui_protokollform.h"

#include <QClipboard>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>

TProtokollForm::TProtokollForm(qev::DatagramTrace &trace, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(std::make_unique<Ui::TProtokollForm>())
    , m_trace(trace)
    , m_model(new TraceModel(trace, this))
    , m_filter(new QSortFilterProxyModel(this)) {
    ui->setupUi(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterKeyColumn(TraceModel::Device);
    ui->tvProtokoll->setModel(m_filter);
    ui->tvProtokoll->verticalHeader()->hide();
    ui->tvProtokoll->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    ui->tvProtokoll->horizontalHeader()->setStretchLastSection(true);
    ui->tvProtokoll->setTextElideMode(Qt::ElideRight);
    m_savePath = [](QWidget *owner) {
        return QFileDialog::getSaveFileName(owner, tr("Protokoll speichern"),
                                            QStringLiteral("trace.pcapng"),
                                            tr("pcapng-Dateien (*.pcapng)"));
    };
    setUpAccessibleNames();

    connect(ui->edFilter, &QLineEdit::textChanged, m_filter,
            &QSortFilterProxyModel::setFilterFixedString);
    connect(ui->btnPause, &QPushButton::toggled, this, [this] { updateLive(); });
    connect(ui->btnSpeichern, &QPushButton::clicked, this, [this] {
        const QString path = m_savePath(this);
        if (!path.isEmpty())
            saveTo(path);
    });
    connect(ui->btnKopieren, &QPushButton::clicked, this, &TProtokollForm::copySelection);
    // New rows keep the view at the bottom unless the user scrolled away from it.
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, [this] {
        if (ui->tvProtokoll->verticalScrollBar()->value() >=
            ui->tvProtokoll->verticalScrollBar()->maximum() - 1)
            ui->tvProtokoll->scrollToBottom();
    });
    // Wide enough for the longest text of each column; the bytes take the rest.
    const QFontMetrics metrics = ui->tvProtokoll->fontMetrics();
    const std::pair<int, const char *> widths[] = {
        {TraceModel::Time, "00:00:00.000000"},
        {TraceModel::Direction, "Zeitüberschreitung"},
        {TraceModel::Device, "255.255.255.255"},
        {TraceModel::Port, "65535 TCP"},
        {TraceModel::Length, "Länge"},
        {TraceModel::Command, "Gateway-Helligkeit speichern"}};
    for (const auto &[column, sample] : widths)
        ui->tvProtokoll->setColumnWidth(column,
                                        metrics.horizontalAdvance(QString::fromUtf8(sample)) + 16);
}

TProtokollForm::~TProtokollForm() = default;

void TProtokollForm::setUpAccessibleNames() {
    ui->edFilter->setAccessibleName(tr("Filter nach Geräteadresse"));
    ui->btnPause->setAccessibleName(tr("Pause"));
    ui->btnSpeichern->setAccessibleName(tr("Protokoll als pcapng speichern"));
    ui->btnKopieren->setAccessibleName(tr("Ausgewählte Zeilen kopieren"));
    ui->tvProtokoll->setAccessibleName(tr("Protokoll der Datagramme"));
}

void TProtokollForm::setSavePathPrompt(SavePathPrompt prompt) {
    m_savePath = std::move(prompt);
}

bool TProtokollForm::saveTo(const QString &path) {
    std::vector<qev::TraceEntry> entries;
    for (int row = 0; row < m_filter->rowCount(); ++row)
        entries.push_back(m_model->entry(m_filter->mapToSource(m_filter->index(row, 0)).row()));
    QString error;
    const bool saved = qev::WritePcapng(path, entries, m_trace.wallClockOffsetUs(), &error);
    ui->lbStatus->setText(saved ? tr("Gespeichert in %1").arg(path)
                                : tr("Nicht gespeichert: %1").arg(error));
    return saved;
}

void TProtokollForm::copySelection() {
    QModelIndexList rows = ui->tvProtokoll->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex &index : rows)
        lines << m_model->copyLine(m_filter->mapToSource(index).row());
    if (!lines.isEmpty())
        QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void TProtokollForm::updateLive() {
    m_model->setLive(isVisible() && !ui->btnPause->isChecked());
}

void TProtokollForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    updateLive();
}

void TProtokollForm::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    updateLive();
}

void TProtokollForm::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        setUpAccessibleNames();
    }
    QWidget::changeEvent(event);
}

namespace {

// The status bar's button; re-texts itself when the language changes.
class ProtokollButton : public QToolButton {
public:
    using QToolButton::QToolButton;

    void retranslate() {
        setText(TProtokollForm::tr("Protokoll"));
        setToolTip(TProtokollForm::tr("Protokoll aller Datagramme (Strg+Umschalt+P)"));
        setAccessibleName(TProtokollForm::tr("Protokoll öffnen"));
    }

protected:
    void changeEvent(QEvent *event) override {
        if (event->type() == QEvent::LanguageChange)
            retranslate();
        QToolButton::changeEvent(event);
    }
};

} // namespace

void AddProtokollButton(QStatusBar *statusBar, QWidget *window) {
    qev::DatagramTrace *trace = qev::InstalledDatagramTrace();
    if (!trace)
        return;
    auto *button = new ProtokollButton(statusBar);
    button->setObjectName(QStringLiteral("btnProtokoll"));
    button->setAutoRaise(true);
    button->retranslate();
    statusBar->addPermanentWidget(button);
    const auto open = [window, trace] {
        auto *form = window->findChild<TProtokollForm *>();
        if (!form)
            form = new TProtokollForm(*trace, window);
        form->show();
        form->raise();
        form->activateWindow();
    };
    QObject::connect(button, &QToolButton::clicked, window, open);
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), window);
    QObject::connect(shortcut, &QShortcut::activated, window, open);
}
