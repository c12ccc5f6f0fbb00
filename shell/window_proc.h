#pragma once
// The window record for the start-up dialog, which sets its mode.
#include "shell/window_events.h"
