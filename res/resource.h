// Resource identifiers shared by res/scrivlet.rc and the program.
#pragma once

#define IDI_APP 120  // the application icon group; the tray uses its 16 x 16 image
