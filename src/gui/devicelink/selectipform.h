#pragma once

#include "devicelink/replies.h"
#include "devicelink/selection.h"

#include <QDialog>
#include <QList>
#include <memory>
#include <optional>

class QTimer;

namespace Ui {
class TSelectIPForm;
} // namespace Ui

// The pick list: the user chooses one of several devices that answered a search.
class TSelectIPForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelectIPForm(QWidget *parent = nullptr);
    ~TSelectIPForm() override;

    // One row per record, shown sorted by address. english: the column and the button read
    // in English; the band caption stays as it is.
    void Fill(const QList<qev::DeviceRecord> &list, bool english);

    // The index into the list given to Fill of the record picked; none until a row is
    // clicked, and none after Abort, Enter or Escape.
    std::optional<qsizetype> SelectedIndex() const { return m_selected; }
    const qev::DeviceRecord *SelectedRecord() const;

    // Whether the header currently shows its second colour set (white ground, red text).
    bool HeaderInverted() const { return m_headerInverted; }

    // Shows a fresh pick list modally and returns the index picked.
    static std::optional<qsizetype> Pick(const QList<qev::DeviceRecord> &list, bool english,
                                         QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void dxDBGrid1CellClicked(int row);
    void Timer1Timer();
    void applyHeaderColours();

    std::unique_ptr<Ui::TSelectIPForm> ui;
    QTimer *Timer1 = nullptr;
    QList<qev::DeviceRecord> m_list;
    std::optional<qsizetype> m_selected;
    bool m_headerInverted = false;
};

// A picker for the search that shows the pick list; english is asked each time it is used.
qev::DevicePicker PickListPicker(QWidget *parent, std::function<bool()> english);
