// Resource ids of Dunlith.
#ifndef DUNLITH_RESOURCE_H
#define DUNLITH_RESOURCE_H

#define IDI_DUNLITH 128

#define IDD_DUNLITH 100
#define IDE_REPORT 1001
#define IDB_OPEN_DRAWER 1002
// The Close button is IDCANCEL (2), so that Escape and the close box close too.

#endif
