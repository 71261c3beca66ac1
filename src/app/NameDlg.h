// Placeholder: the name dialog.
#pragma once
