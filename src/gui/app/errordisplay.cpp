#include "errordisplay.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

void ShowGeneralError(QWidget *window, const QString &text) {
    auto *box = new QMessageBox(QMessageBox::Critical,
                                QCoreApplication::translate("ErrorDisplay", "Fehler"), text,
                                QMessageBox::Ok, window);
    box->setObjectName(QStringLiteral("ErrorDisplay"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void RunGuarded(QWidget *window, const std::function<void()> &handler) {
    try {
        handler();
    } catch (const std::exception &error) {
        ShowGeneralError(window, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowGeneralError(window, QCoreApplication::translate("ErrorDisplay", "Unbekannter Fehler"));
    }
}
