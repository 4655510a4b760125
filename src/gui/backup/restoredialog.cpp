#include "backup/restoredialog.h"
#include "ui_restoredialog.h"

#include "app/programfont.h"

#include <QHeaderView>
#include <QTableWidgetItem>

RestoreDialog::RestoreDialog(const QList<Row> &rows, const QStringList &missingBoosters,
                             QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::RestoreDialog>())
    , m_rows(rows)
    , m_missingBoosters(missingBoosters) {
    ui->setupUi(this);
    setFont(ProgramFont());
    QTableWidget *table = ui->tblChanges;
    table->setRowCount(int(rows.size()));
    bool network = false;
    for (int r = 0; r < rows.size(); ++r) {
        const Row &row = rows.at(r);
        network = network || row.network;
        const QString texts[] = {row.page, row.field, row.current, row.wanted};
        for (int c = 0; c < 4; ++c)
            table->setItem(r, c, new QTableWidgetItem(texts[c]));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    // Only a file whose network settings differ has anything to move the device to.
    ui->cbNetwork->setEnabled(network);
    connect(ui->cbNetwork, &QCheckBox::toggled, this, [this] { showNetworkChoice(); });
    showNetworkChoice();
    setRunTimeTexts();
    resize(sizeHint().expandedTo(QSize(600, 380)));
}

RestoreDialog::~RestoreDialog() = default;

bool RestoreDialog::restoreNetwork() const {
    return ui->cbNetwork->isChecked();
}

void RestoreDialog::showNetworkChoice() {
    const Qt::ItemFlags written = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    for (int r = 0; r < m_rows.size(); ++r) {
        if (!m_rows.at(r).network)
            continue;
        for (int c = 0; c < ui->tblChanges->columnCount(); ++c)
            ui->tblChanges->item(r, c)->setFlags(restoreNetwork() ? written : Qt::NoItemFlags);
    }
}

void RestoreDialog::setRunTimeTexts() {
    ui->tblChanges->setAccessibleName(tr("Änderungen"));
    ui->lbMissingBoosters->setVisible(!m_missingBoosters.isEmpty());
    ui->lbMissingBoosters->setText(tr("Nicht am Bus, werden nicht angelegt: %1")
                                       .arg(m_missingBoosters.join(QStringLiteral(", "))));
}

void RestoreDialog::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        setRunTimeTexts();
    }
}
