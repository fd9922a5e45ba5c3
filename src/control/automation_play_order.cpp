// Shuffle and Repeat: the play order flags. Only the low 8 bits are kept; non-zero means on.
#include "control/automation_control.h"
#include "engine/engine_context.h"
#include "win/guarded.h"

HRESULT AutomationControl::get_Shuffle(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = engine.shuffle;
        return S_OK;
    });
}

HRESULT AutomationControl::put_Shuffle(LONG value)
{
    return GuardedCom([&]() -> HRESULT {
        engine.shuffle = static_cast<uint8_t>(value);
        return S_OK;
    });
}

HRESULT AutomationControl::get_Repeat(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = engine.repeat;
        return S_OK;
    });
}

HRESULT AutomationControl::put_Repeat(LONG value)
{
    return GuardedCom([&]() -> HRESULT {
        engine.repeat = static_cast<uint8_t>(value);
        return S_OK;
    });
}
