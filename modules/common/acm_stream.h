#pragma once
// A conversion stream of the platform's audio compression manager, owned through the one owning
// template: both readers convert through one.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include "win/unique_resource.h"

struct AcmStreamTraits {
    using Type = HACMSTREAM;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { acmStreamClose(value, 0); }
};
using UniqueAcmStream = UniqueResource<AcmStreamTraits>;
