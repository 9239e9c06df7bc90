// Resource ids of hvndlg32.rc.
#pragma once

#define IDD_ABOUT 100
#define IDC_ABOUT_PRODUCT 101
#define IDC_ABOUT_VERSION 102
