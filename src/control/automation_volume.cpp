// Volume: the playing plugin gets the whole value; the engine keeps its low 8 bits (0 to 255).
#include "control/automation_control.h"
#include "engine/engine_context.h"
#include "plugins/playback_control.h"
#include "win/guarded.h"

HRESULT AutomationControl::get_Volume(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = engine.volume;
        return S_OK;
    });
}

HRESULT AutomationControl::put_Volume(LONG value)
{
    return GuardedCom([&]() -> HRESULT {
        PluginSetVolume(value);
        engine.volume = static_cast<uint8_t>(value);
        return S_OK;
    });
}
