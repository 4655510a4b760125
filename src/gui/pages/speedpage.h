#pragma once

#include "app/formpage.h"
#include "ui_speedpage.h"

// The speed meter page.
using SpeedPage = FormPage<Ui::SpeedPage>;
