#include "app/qevprogrammerform.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qev Programmer"));
    QApplication::setApplicationDisplayName(QStringLiteral("Qev Programmer"));
    TQevProgrammerForm form;
    form.show();
    return QApplication::exec();
}
