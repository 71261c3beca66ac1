#include "mods/ModifierDlg.h"
