// Version of the program, shared by the resource script and the code.
#pragma once

#define LZ_VERSION_MAJOR 1
#define LZ_VERSION_MINOR 5
#define LZ_VERSION_PATCH 3
#define LZ_VERSION_BUILD 0

// Numbers as the VERSIONINFO block takes them.
#define LZ_VERSION_NUMBERS LZ_VERSION_MAJOR, LZ_VERSION_MINOR, LZ_VERSION_PATCH, LZ_VERSION_BUILD

// Narrow strings: the resource compiler reads them from this UTF-8 file.
#define LZ_VERSION_STRING "1.5.3"
#define LZ_VERSION_FULL_STRING "1.5.3.0"
#define LZ_PRODUCT_NAME "岚栈备份专家"
#define LZ_COMPANY_NAME "岚栈软件工作室"
#define LZ_COPYRIGHT "Copyright (C) 岚栈软件工作室"

// Wide strings for the program.
#define LZ_VERSION_WSTRING L"1.5.3"
#define LZ_PRODUCT_WNAME L"岚栈备份专家"
#define LZ_MAIN_WINDOW_WTITLE L"岚栈备份专家 V1.5.3"
