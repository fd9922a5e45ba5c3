#pragma once
// Resource ids of the control module.
#define IDR_TYPELIB 1
#define IDB_TOOLBOX 101
#define IDR_REGISTRATION 102
#define IDD_DOWNLOAD_PROGRESS 214
#define IDC_PROGRESS_LOG 1110
#define IDC_PROGRESS_STAGE 1180
#define IDS_PROJNAME 100
#define IDS_ONLY_HTTP_STREAMS 101
#define IDS_RETRIEVING_PLAYLIST 102
// Descriptions that open the file type list of GetFiletypes.
#define IDS_PLAYLIST_FILES 22
#define IDS_ALL_SUPPORTED_FILES 23
