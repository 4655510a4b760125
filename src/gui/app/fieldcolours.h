#pragma once

#include "devicelink/netsettings.h"

class QWidget;

// Paints an entry field's background in the colour of a verdict; Normal restores the
// window's own colour.
void PaintField(QWidget *field, qev::FieldColour colour);
