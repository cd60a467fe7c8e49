#include "link/Notation.h"
