// The pages' message boxes: the program's one replaceable box function.
#pragma once

#include "framework/MessageBoxes.h"
