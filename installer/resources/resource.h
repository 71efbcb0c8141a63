// Resource ids of Velmara. The numbers are those of the templates and must not change.
#ifndef VELMARA_RESOURCE_H
#define VELMARA_RESOURCE_H

#define IDI_VELMARA 128
#define IDB_TEST_PAGE_LOGO 141
#define IDS_ABOUT_MENU_ITEM 101
#define IDM_ABOUT 16

// About box.
#define IDD_ABOUT 100

// Main window.
#define IDD_MAIN 102
#define IDT_BANNER 1026

// Installation dialog.
#define IDD_INSTALL 135
#define IDG_OS 1022
#define IDR_OS_WINDOWS_10 1002
#define IDR_OS_WINDOWS_XP 1003
#define IDR_OS_WINDOWS_2003 1004
#define IDR_OS_WINDOWS_VISTA 1005
#define IDR_OS_WINDOWS_7 1006
#define IDR_OS_WINDOWS_8 1007
#define IDT_STATUS 1008
#define IDG_MODEL 1024
#define IDR_MODEL_DUR_58 1011
#define IDR_MODEL_DUR_58C 1012
#define IDR_MODEL_RUD_80 1013
#define IDR_MODEL_RUD_80C 1014
#define IDR_MODEL_DAD_90 1015
#define IDR_MODEL_DIZ_76 1016
#define IDR_MODEL_DIZ_76C 1017
#define IDX_SET_DEFAULT 1018
#define IDB_START_INSTALL 1019
#define IDB_EXIT 1020
#define IDB_CHECK_USB_PORT 1027
#define IDT_REMARK 1030
#define IDT_INTERFACE 1033
#define IDR_INTERFACE_USB 1034
#define IDR_INTERFACE_OTHER 1035

#endif
