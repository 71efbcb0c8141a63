// Resource ids of Corvale. The numbers are those of the dialog templates and must not change.
#ifndef CORVALE_RESOURCE_H
#define CORVALE_RESOURCE_H

#define IDI_CORVALE 128

// Main dialog.
#define IDD_CORVALE 102
#define IDB_APPLY 1010
#define IDB_EXIT 2
#define IDC_LDN_LIST 1000
#define IDB_NEW 1001
#define IDB_TEST_PRINTER 1002
#define IDR_USB 1003
#define IDR_SERIAL 1004
#define IDR_ETHERNET 1005
#define IDC_PORT_NAME 1006
#define IDC_DOT_LINE_WIDTH 1007
#define IDC_IP_ADDRESS 1008
#define IDE_TIME_OUT 1009
#define IDC_BAUD_RATE 1011
#define IDB_DELETE 1012
#define IDE_CODE_PAGE 1013
#define IDC_EFFECTS 1015
#define IDT_CREDIT 1016

// New LDN dialog.
#define IDD_NEW_LDN 129
#define IDB_NEW_LDN_OK 1
#define IDB_NEW_LDN_CANCEL 2
#define IDE_NEW_LDN 1002

#endif
