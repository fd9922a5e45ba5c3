#pragma once
// Which file types the platform plays here, asked once at init on the host's thread: the record's
// extension list for them ("\0" claims nothing).
#include "media_foundation.h"

const char* PlatformExtensionList(const MediaFoundation& platform);
