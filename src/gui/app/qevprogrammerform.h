#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class TQevProgrammerForm;
}

// The main window: owns every piece of state of a run.
class TQevProgrammerForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TQevProgrammerForm(QWidget *parent = nullptr);
    ~TQevProgrammerForm() override;

private:
    std::unique_ptr<Ui::TQevProgrammerForm> ui;
};
