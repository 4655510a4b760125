#include "selectipform.h"

#include "app/programfont.h"
#include "ui_selectipform.h"

#include <QHeaderView>
#include <QScreen>
#include <QShowEvent>
#include <QSizeGrip>
#include <QTableWidgetItem>
#include <QTimer>

namespace {

const QColor darkRed(204, 0, 0);
const QColor white(255, 255, 255);

enum Column { ColRecId, ColIP, ColName, ColumnCount };

// Widths of the table's fields and of the name column's display.
constexpr int ipFieldLength = 20;
constexpr int nameFieldLength = 25;
constexpr int nameShownLength = 20;

QTableWidgetItem *readOnlyItem(const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

TSelectIPForm::TSelectIPForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::TSelectIPForm>()) {
    ui->setupUi(this);
    setFont(ProgramFont());
    // Opens at its usual size; the grip lets the user enlarge the borderless window for a
    // long list.
    setMinimumSize(274, 200);
    resize(minimumSize());
    auto *grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("SizeGrip"));
    ui->btnAbortLayout->addWidget(grip, 0, Qt::AlignRight | Qt::AlignBottom);

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, darkRed);
    setPalette(windowPalette);
    setAutoFillBackground(true);

    QFont bandFont = ui->dxDBGrid1Band->font();
    bandFont.setBold(true);
    ui->dxDBGrid1Band->setFont(bandFont);

    QTableWidget *grid = ui->dxDBGrid1;
    grid->setColumnCount(ColumnCount);
    grid->setHorizontalHeaderItem(ColRecId, new QTableWidgetItem(QStringLiteral("RecId")));
    grid->setHorizontalHeaderItem(ColIP, new QTableWidgetItem(QStringLiteral("Auswahl")));
    grid->setHorizontalHeaderItem(ColName, new QTableWidgetItem(QStringLiteral(" ")));
    grid->setColumnHidden(ColRecId, true);
    grid->setColumnWidth(ColIP, 120);
    grid->setColumnWidth(ColName, 135);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The name column takes the width left, so no horizontal scroll bar covers a row.
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setSortingEnabled(false); // the rows arrive in display order
    connect(grid, &QTableWidget::cellClicked, this,
            [this](int row, int) { dxDBGrid1CellClicked(row); });

    connect(ui->btnAbort, &QPushButton::clicked, this, &QDialog::reject);
    ui->btnAbort->setFocus();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(400);
    connect(Timer1, &QTimer::timeout, this, &TSelectIPForm::Timer1Timer);
    Timer1->start();
    applyHeaderColours();
}

TSelectIPForm::~TSelectIPForm() = default;

void TSelectIPForm::Fill(const QList<qev::DeviceRecord> &list, bool english) {
    if (english) {
        ui->dxDBGrid1->horizontalHeaderItem(ColIP)->setText(QStringLiteral("Select"));
        ui->btnAbort->setText(QStringLiteral("Abort"));
        ui->btnAbort->setAccessibleName(QStringLiteral("Abort"));
    }
    m_list = list;
    m_selected.reset();

    const QList<qev::PickRow> rows = qev::PickListRows(list);
    QTableWidget *grid = ui->dxDBGrid1;
    grid->setRowCount(int(rows.size()));
    QFont bold = grid->font();
    bold.setBold(true);
    for (int r = 0; r < rows.size(); ++r) {
        const qev::PickRow &row = rows[r];
        grid->setItem(r, ColRecId, readOnlyItem(QString::number(row.recordNumber)));
        QTableWidgetItem *ip = readOnlyItem(row.address.left(ipFieldLength));
        ip->setTextAlignment(Qt::AlignCenter);
        ip->setFont(bold);
        grid->setItem(r, ColIP, ip);
        grid->setItem(r, ColName,
                      readOnlyItem(row.name.left(nameFieldLength).left(nameShownLength)));
    }
}

const qev::DeviceRecord *TSelectIPForm::SelectedRecord() const {
    if (!m_selected)
        return nullptr;
    return &m_list[*m_selected];
}

std::optional<qsizetype> TSelectIPForm::Pick(const QList<qev::DeviceRecord> &list, bool english,
                                             QWidget *parent) {
    TSelectIPForm form(parent);
    form.Fill(list, english);
    form.exec();
    return form.SelectedIndex();
}

void TSelectIPForm::showEvent(QShowEvent *event) {
    if (!event->spontaneous()) {
        if (const QScreen *shownOn = screen())
            move(shownOn->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TSelectIPForm::dxDBGrid1CellClicked(int row) {
    const QTableWidgetItem *recId = ui->dxDBGrid1->item(row, ColRecId);
    if (!recId)
        return;
    m_selected = qev::PickedIndex(recId->text().toInt(), m_list.size());
    if (m_selected)
        accept();
}

void TSelectIPForm::Timer1Timer() {
    m_headerInverted = !m_headerInverted;
    applyHeaderColours();
}

void TSelectIPForm::applyHeaderColours() {
    const QColor &ground = m_headerInverted ? white : darkRed;
    const QColor &text = m_headerInverted ? darkRed : white;

    QPalette band = ui->dxDBGrid1Band->palette();
    band.setColor(QPalette::Window, ground);
    band.setColor(QPalette::WindowText, text);
    ui->dxDBGrid1Band->setPalette(band);

    ui->dxDBGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; font-weight: bold;"
                       " border: 1px solid %2; }")
            .arg(ground.name(), text.name()));
}

qev::DevicePicker PickListPicker(QWidget *parent, std::function<bool()> english) {
    return [parent, english = std::move(english)](const QList<qev::DeviceRecord> &offered) {
        return TSelectIPForm::Pick(offered, english && english(), parent);
    };
}
