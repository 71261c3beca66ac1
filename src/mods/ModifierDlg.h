// Placeholder: the add/edit modifier dialog.
#pragma once
