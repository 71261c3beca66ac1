// Placeholder: the rules by which the modifier dialog writes one slot.
#pragma once
