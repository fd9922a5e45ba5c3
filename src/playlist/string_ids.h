#pragma once
// Ids of the control's string table: the resource script and the engine both take them from here.
// Plain #defines, since the resource compiler reads this file too.
#define IDS_PLAYLIST_FILES 22       // first description of the GetFiletypes list
#define IDS_ALL_SUPPORTED_FILES 23  // second description of the GetFiletypes list
#define IDS_PROJNAME 100
#define IDS_ONLY_HTTP_STREAMS 101
#define IDS_RETRIEVING_PLAYLIST 102
