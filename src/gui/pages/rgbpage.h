#pragma once

#include "app/formpage.h"
#include "ui_rgbpage.h"

// The page of the RGB light master.
using RgbPage = FormPage<Ui::RgbPage>;
