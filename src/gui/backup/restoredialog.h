#pragma once

// The changes a restore would write, shown before anything is written: a row per field
// (page, field, the value on the device and the one in the file), the boosters of the file
// that are not on the bus, and whether the network settings are written too (unchecked at
// first: they move the device).

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace Ui {
class RestoreDialog;
}

class RestoreDialog : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString page;
        QString field;
        QString current;
        QString wanted;
        bool network = false; // written only when the network box is checked
    };

    RestoreDialog(const QList<Row> &rows, const QStringList &missingBoosters,
                  QWidget *parent = nullptr);
    ~RestoreDialog() override;

    bool restoreNetwork() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    // The network rows look as they will be treated: greyed while the box is unchecked.
    void showNetworkChoice();
    void setRunTimeTexts();

    std::unique_ptr<Ui::RestoreDialog> ui;
    QList<Row> m_rows;
    QStringList m_missingBoosters;
};
