// Streams, the proxy address, the launcher path and the URL a plugin asked to have opened.
#include <cstring>
#include <string>

#include "control/automation_control.h"
#include "control/out_variant.h"
#include "engine/engine_context.h"
#include "playlist/entry_titles.h"
#include "win/ansi_text.h"
#include "win/bstr.h"
#include "win/guarded.h"

namespace {

// A text that does not fit is refused (S_FALSE) and the stored one kept: a cut proxy address
// would name another host.
template <size_t N>
HRESULT StoreText(char (&field)[N], BSTR text)
{
    const std::string ansi = BstrToAnsi(text, CP_THREAD_ACP);
    if (ansi.size() >= N) return S_FALSE;
    CopyBounded(field, ansi.c_str());
    return S_OK;
}

bool IsStreamName(const char* name) { return std::strstr(name, "://") || std::strstr(name, ":\\\\"); }

}  // namespace

// Downloads use the stored address from then on; an empty one gives the system's settings back.
HRESULT AutomationControl::SetProxy(BSTR proxyAdr)
{
    return GuardedCom([&] { return StoreText(engine.proxyAddress, proxyAdr); });
}

// Kept for the container only: the control starts no program.
HRESULT AutomationControl::SetLaunchURLEXE(BSTR exe_path)
{
    return GuardedCom([&] { return StoreText(engine.launchExePath, exe_path); });
}

HRESULT AutomationControl::GetURLToLaunch(VARIANT* url)
{
    return GuardedCom([&]() -> HRESULT {
        if (!url) return E_POINTER;
        // A plugin thread may be writing a new address.
        std::string copy;
        {
            Locked hold(engine.launchUrlLock);
            copy = engine.launchUrl;
        }
        return SetOutText(url, copy.c_str());
    });
}

// Asks about the current entry, which is the one that plays unless the container has moved the
// position since.
HRESULT AutomationControl::IsStreamPlaying(VARIANT* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        char name[kPathSize] = "";
        if (engine.isPlaying) PlaylistCurrentItem(name, sizeof(name), nullptr, 0);
        SetOutShort(pVal, IsStreamName(name) ? 1 : 0);
        return S_OK;
    });
}
