#pragma once

#include "app/formpage.h"
#include "ui_lightpage.h"

// The general page of the light controllers.
using LightPage = FormPage<Ui::LightPage>;
