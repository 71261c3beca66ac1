#include "ui/AboutDlg.h"
