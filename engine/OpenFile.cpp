#include "OpenFile.h"
