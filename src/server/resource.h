#pragma once
// Resource ids of the control module.
#define IDR_TYPELIB 1
#define IDB_TOOLBOX 101
#define IDR_REGISTRATION 102
#define IDD_DOWNLOAD_PROGRESS 214
#define IDC_PROGRESS_LOG 1110
#define IDC_PROGRESS_STAGE 1180
// The string table's ids, shared with the engine.
#include "playlist/string_ids.h"
