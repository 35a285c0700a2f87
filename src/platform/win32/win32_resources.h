#pragma once
// Resource ids of the program's pictures, shared by res/varlindo.rc and the Win32 layer.
// Plain macros, because the resource compiler reads this file too.

#define VARLINDO_ICON_PROGRAM 1
#define VARLINDO_ICON_PROGRAM_DISABLED 2
#define VARLINDO_ICON_DROP_TARGET 3
#define VARLINDO_ICON_VOLUME 4
#define VARLINDO_ICON_PIN_OFF 5
#define VARLINDO_ICON_PIN_HOVER 6
#define VARLINDO_ICON_PIN_ON 7
#define VARLINDO_ICON_DESKTOP 8
#define VARLINDO_ICON_DESKTOP_PRESSED 9
#define VARLINDO_ICON_START_MENU 10
#define VARLINDO_ICON_START_MENU_PRESSED 11
