// The wizard's step pictures by resource id (164, 184, 1164, 1184), compiled into the program.
#pragma once

#include <QPixmap>

namespace bdlogic {

// A null pixmap for an id the program does not carry.
QPixmap StepPicture(int id);

} // namespace bdlogic
