#include "Drawing.h"
