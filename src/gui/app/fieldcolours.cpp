#include "fieldcolours.h"

#include <QApplication>
#include <QComboBox>
#include <QWidget>

namespace {

QColor colourOf(qev::FieldColour colour, const QWidget *field) {
    switch (colour) {
    case qev::FieldColour::Good:
        return {200, 255, 150};
    case qev::FieldColour::Incomplete:
        return {255, 250, 160};
    case qev::FieldColour::Wrong:
        return {255, 200, 200};
    case qev::FieldColour::Normal:
        break;
    }
    return QApplication::palette(field).color(QPalette::Base);
}

} // namespace

void PaintField(QWidget *field, qev::FieldColour colour) {
    QPalette palette = field->palette();
    const QColor background = colourOf(colour, field);
    palette.setColor(QPalette::Base, background);
    // A list without an edit field paints its face in the button colour.
    if (qobject_cast<QComboBox *>(field))
        palette.setColor(QPalette::Button,
                         colour == qev::FieldColour::Normal
                             ? QApplication::palette(field).color(QPalette::Button)
                             : background);
    field->setPalette(palette);
}
