// The Win32 side of the windows: the form host that builds a window from its
// layout table, and Win32Ui that keeps the loaded windows and the prompts.
#pragma once
#include "ui/form_window_win.h"
#include "ui/resources_win.h"
#include "ui/win32ui_win.h"
