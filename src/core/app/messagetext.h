#pragma once

#include "app/messageid.h"

#include <QString>

// The forms name the message ids unqualified.
using qev::IDS_100;
using qev::IDS_101;
using qev::IDS_102;
using qev::IDS_103;
using qev::IDS_105;
using qev::IDS_106;
using qev::IDS_108;
using qev::IDS_109;
using qev::IDS_110;
using qev::IDS_111;
using qev::IDS_114;
using qev::IDS_115;
using qev::IDS_116;
using qev::IDS_117;
using qev::IDS_119;
using qev::IDS_120;
using qev::IDS_121;
using qev::IDS_122;
using qev::IDS_123;
using qev::IDS_124;
using qev::IDS_125;
using qev::IDS_126;
using qev::IDS_127;
using qev::IDS_128;
using qev::IDS_129;
using qev::IDS_130;
using qev::IDS_131;
using qev::IDS_132;
using qev::IDS_133;
using qev::IDS_140;
using qev::IDS_141;
using qev::IDS_142;
using qev::IDS_143;
using qev::IDS_144;
using qev::IDS_145;
using qev::IDS_200;
using qev::IDS_201;
using qev::IDS_202;

// The text of a message id in the active language; the German text when that language has
// none, an empty text for an id the catalogue does not hold.
QString MessageText(int id);
