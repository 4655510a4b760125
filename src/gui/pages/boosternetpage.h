#pragma once

#include "app/formpage.h"
#include "ui_boosternetpage.h"

// The booster gateway page.
using BoosterNetPage = FormPage<Ui::BoosterNetPage>;
