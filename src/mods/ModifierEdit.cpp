#include "mods/ModifierEdit.h"
