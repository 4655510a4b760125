#include "qevprogrammerform.h"
#include "ui_qevprogrammerform.h"

TQevProgrammerForm::TQevProgrammerForm(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TQevProgrammerForm>())
{
    ui->setupUi(this);
}

TQevProgrammerForm::~TQevProgrammerForm() = default;
