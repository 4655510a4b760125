#pragma once

#include "app/formpage.h"
#include "ui_boosterpage.h"

// The booster page.
using BoosterPage = FormPage<Ui::BoosterPage>;
