// Resource identifiers of the program's pictures, shared by Art.rc and the code.
#pragma once

// The program's icon: the lowest icon id, so Explorer shows it for the executable.
#define IDI_KORDANE 1
// The About box's logo, 114 x 41 pixels.
#define IDB_LOGO 101
// The link label's hand cursor is the named resource "URLHAND".
