#include "app/NameDlg.h"
