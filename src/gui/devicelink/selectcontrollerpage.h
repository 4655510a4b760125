#pragma once

#include "app/formpage.h"
#include "ui_selectcontrollerpage.h"

// The page of the manual selection: a device kind or an address known beforehand.
using SelectControllerPage = FormPage<Ui::SelectControllerPage>;
