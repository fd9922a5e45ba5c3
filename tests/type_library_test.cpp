// The registered type library against the interface table: every member's name, DISPID, kind,
// and parameters (names, directions, types), in function-table order. A wrong IDL fails here.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tunaraxchat.h"
#include "win/com_ptr.h"

namespace {

const char* const kOut11 =
    " is_infos:out:VARIANT* title:out:VARIANT* artist:out:VARIANT* album:out:VARIANT*"
    " comment:out:VARIANT* year:out:VARIANT* genre:out:VARIANT* bitrate:out:VARIANT*"
    " srate:out:VARIANT* stereo:out:VARIANT* vbr:out:VARIANT*";

// "Name DISPID Kind parameters", kinds M method, G getter, P setter.
std::vector<std::string> ExpectedITunaraXChat()
{
    return {
        "Initialize 1 M",
        "Deinitialize 2 M",
        "AppendFileToPlaylist 3 M file:in:BSTR",
        "Play 4 M",
        "GetFiletypes 5 M retFileTypes:out:VARIANT*",
        "Stop 6 M",
        "Pause 7 M",
        "Position 8 G :out,retval:I4*",
        "Position 8 P :in:I4",
        "Length 9 G :out,retval:I4*",
        "Volume 10 G :out,retval:I4*",
        "Volume 10 P :in:I4",
        "ClearPlaylist 11 M",
        "PlaylistPos 12 P :in:I4",
        "PlaylistPos 12 G :out,retval:I4*",
        "NextTrack 13 M",
        "PreviousTrack 14 M",
        "GetCurrentPlaylistItem 15 M filename:out:VARIANT* filetitle:out:VARIANT*",
        "Shuffle 16 G :out,retval:I4*",
        "Shuffle 16 P :in:I4",
        "Repeat 17 G :out,retval:I4*",
        "Repeat 17 P :in:I4",
        "Status 18 G :out,retval:I4*",
        "GetVersion 19 M tunaraVer:out:VARIANT* comVer:out:VARIANT*",
        "Nb_Playlist_Items 20 G :out,retval:I4*",
        "GetPlaylistItem 21 M Position:in:I4 filename:out:VARIANT* filetitle:out:VARIANT* Length:out:VARIANT*",
        "DeletePlaylistItem 22 M Position:in:INT",
        "PlaylistSwapItems 23 M item1:in:I4 item2:in:I4",
        "PlaylistSort 24 M",
        "PlaylistRandomize 25 M",
        std::string("GetPlaylistItemHeaderInfos 26 M Position:in:I4") + kOut11,
        "SavePlaylist 27 M file:in:BSTR",
        "GetCurrentFileInfos 28 M bitrate:out:VARIANT* srate:out:VARIANT* stereo:out:VARIANT*",
        "GetURLToLaunch 29 M url:out:VARIANT*",
        "SetProxy 30 M proxyAdr:in:BSTR",
        "SetLaunchURLEXE 31 M exe_path:in:BSTR",
        "AppendPLSToPlaylist 32 M file:in:BSTR",
        "AppendM3UToPlaylist 33 M file:in:BSTR",
        "IsStreamPlaying 34 M pVal:out:VARIANT*",
        std::string("GetFileHeaderInfos 35 M filename:in:BSTR") + kOut11,
    };
}

std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; text && *text; ++text) result += static_cast<char>(*text);
    return result;
}

std::string TypeName(const TYPEDESC& type)
{
    switch (type.vt) {
    case VT_PTR: return TypeName(*type.lptdesc) + "*";
    case VT_I4: return "I4";
    case VT_INT: return "INT";
    case VT_BSTR: return "BSTR";
    case VT_VARIANT: return "VARIANT";
    case VT_HRESULT: return "HRESULT";
    default: return "vt" + std::to_string(type.vt);
    }
}

std::string Direction(USHORT flags)
{
    std::string text;
    if (flags & PARAMFLAG_FIN) text += "in";
    if (flags & PARAMFLAG_FOUT) text += text.empty() ? "out" : ",out";
    if (flags & PARAMFLAG_FRETVAL) text += ",retval";
    return text.empty() ? "in" : text;
}

// The members a type info declares itself (not inherited), in function-table order.
std::vector<std::string> Members(ITypeInfo* info)
{
    std::vector<std::string> members;
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return members;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* func = nullptr;
        if (FAILED(info->GetFuncDesc(i, &func))) continue;
        BSTR names[16] = {};
        UINT count = 0;
        info->GetNames(func->memid, names, 16, &count);
        const char* kind = func->invkind == INVOKE_PROPERTYGET ? "G"
                           : func->invkind == INVOKE_PROPERTYPUT ? "P" : "M";
        std::string line = Narrow(names[0]) + " " + std::to_string(func->memid) + " " + kind;
        for (SHORT p = 0; p < func->cParams; ++p) {
            const ELEMDESC& param = func->lprgelemdescParam[p];
            // Names are looked up by DISPID, which a property's getter and setter share, so
            // accessor parameters are shown without a name.
            std::string name = func->invkind == INVOKE_FUNC && static_cast<UINT>(p + 1) < count
                                   ? Narrow(names[p + 1]) : "";
            line += " " + name + ":" + Direction(param.paramdesc.wParamFlags) + ":" + TypeName(param.tdesc);
        }
        if (func->elemdescFunc.tdesc.vt != VT_HRESULT) line += " returns:" + TypeName(func->elemdescFunc.tdesc);
        for (BSTR& name : names) SysFreeString(name);
        members.push_back(line);
        info->ReleaseFuncDesc(func);
    }
    info->ReleaseTypeAttr(attr);
    return members;
}

// The vtable side of a dual interface.
ComPtr<ITypeInfo> InterfaceInfo(ITypeLib* library, REFIID iid)
{
    ComPtr<ITypeInfo> info, vtable;
    if (FAILED(library->GetTypeInfoOfGuid(iid, info.Out()))) return vtable;
    HREFTYPE ref = 0;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref))) info->GetRefTypeInfo(ref, vtable.Out());
    return vtable;
}

class TypeLibrary : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(LoadRegTypeLib(LIBID_TunaraXChatLib, 1, 0, 0, library_.Out()), S_OK); }
    ComPtr<ITypeLib> library_;
};

}  // namespace

TEST_F(TypeLibrary, ITunaraXChatMatchesTheInterfaceTable)
{
    ComPtr<ITypeInfo> info = InterfaceInfo(library_.Get(), IID_ITunaraXChat);
    ASSERT_TRUE(info);
    EXPECT_EQ(Members(info.Get()), ExpectedITunaraXChat());

    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    info->ReleaseTypeAttr(attr);
}

TEST_F(TypeLibrary, ITunaraXChat2AddsOneMethod)
{
    ComPtr<ITypeInfo> info = InterfaceInfo(library_.Get(), IID_ITunaraXChat2);
    ASSERT_TRUE(info);
    std::vector<std::string> expected{
        "AppendFilenameWithArgs 100 M filename:in:BSTR Volume:in:I4 duration:in:I4"};
    EXPECT_EQ(Members(info.Get()), expected);
    HREFTYPE base = 0;
    ASSERT_EQ(info->GetRefTypeOfImplType(0, &base), S_OK);
    ComPtr<ITypeInfo> baseInfo;
    ASSERT_EQ(info->GetRefTypeInfo(base, baseInfo.Out()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(baseInfo->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, IID_ITunaraXChat));
    baseInfo->ReleaseTypeAttr(attr);
}

TEST_F(TypeLibrary, EventInterfaceAndClass)
{
    ComPtr<ITypeInfo> events;
    ASSERT_EQ(library_->GetTypeInfoOfGuid(DIID__ITunaraXChatEvents, events.Out()), S_OK);
    std::vector<std::string> expected{"TunaraMsgEvent 1 M msgId:in:I4",
                                      "TunaraStatus 2 M msgId:in:I4 comp:in:I4"};
    EXPECT_EQ(Members(events.Get()), expected);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library_->GetTypeInfoOfGuid(CLSID_ITunaraActiveXChat, coclass.Out()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    ASSERT_EQ(attr->cImplTypes, 3);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
    coclass->ReleaseTypeAttr(attr);
    // The default interface is ITunaraXChat2, the default source the event interface.
    bool defaultFound = false, sourceFound = false;
    for (UINT i = 0; i < 3; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        coclass->GetImplTypeFlags(i, &flags);
        coclass->GetRefTypeOfImplType(i, &ref);
        ComPtr<ITypeInfo> impl;
        coclass->GetRefTypeInfo(ref, impl.Out());
        TYPEATTR* implAttr = nullptr;
        impl->GetTypeAttr(&implAttr);
        if (flags == IMPLTYPEFLAG_FDEFAULT) defaultFound = IsEqualGUID(implAttr->guid, IID_ITunaraXChat2);
        if (flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            sourceFound = IsEqualGUID(implAttr->guid, DIID__ITunaraXChatEvents);
        impl->ReleaseTypeAttr(implAttr);
    }
    EXPECT_TRUE(defaultFound);
    EXPECT_TRUE(sourceFound);

    BSTR doc = nullptr;
    ASSERT_EQ(library_->GetDocumentation(-1, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(doc, L"TunaraXChat 1.0 Type Library");
    SysFreeString(doc);
}
