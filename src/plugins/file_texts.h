#pragma once
// What a module answers about a file through its optional UTF-8 texts export: titles and tags in
// scripts the ANSI code page cannot carry. On the container's thread.
#include <stdint.h>

#include "tunara_plugin.h"

// Asks the module behind the record for the parts named by wanted (TUNARA_TEXTS_...), with
// every text emptied and the length -1 first. Returns the parts it filled: 0 when its module
// has no such export (or answered nothing). Every text ends inside its buffer, whatever the
// module wrote.
int32_t QueryFileTexts(const InputPluginRecord* record, const char* name, int32_t wanted, TunaraFileTexts& texts);
