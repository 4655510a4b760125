#pragma once

#include <QString>
#include <functional>

class QWidget;

// The window's general error display: shows an error that no handler caught and lets the
// window run on. The box does not block the caller.
void ShowGeneralError(QWidget *window, const QString &text);

// Runs a handler so that nothing it throws reaches Qt's event loop.
void RunGuarded(QWidget *window, const std::function<void()> &handler);
