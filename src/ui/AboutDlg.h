// Placeholder: the about window.
#pragma once
