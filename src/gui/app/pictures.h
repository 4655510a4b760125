#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn at run time.
QPixmap GermanFlag(const QSize &size);
QPixmap EnglishFlag(const QSize &size);
QPixmap DutchFlag(const QSize &size);
QPixmap InfoIcon(const QSize &size);
QPixmap LeftPicture(const QSize &size);
QIcon WindowIcon();
