// The controls of the Skin Browser dialog: the gradient progress bar of its
// status line, the details label and the picture buttons, from the controls
// library.
#pragma once

#include "controls/colorlabel.h"
#include "controls/gradientprogress.h"
#include "controls/skinbutton.h"
