#pragma once

#include "app/formpage.h"
#include "ui_classicpage.h"

// The page of the classic light master.
using ClassicPage = FormPage<Ui::ClassicPage>;
