#pragma once
// An event sink that records every event it receives, in order, so that a test can assert the
// exact sequence. Several sinks may share one log to show the order across sinks.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

struct RecordedEvent {
    std::wstring sink;
    DISPID dispid;
    long msgId;
    long comp;
    bool operator==(const RecordedEvent& o) const
    {
        return sink == o.sink && dispid == o.dispid && msgId == o.msgId && comp == o.comp;
    }
};

class RecordingSink final : public IDispatch {
public:
    RecordingSink(std::wstring name, std::vector<RecordedEvent>& log) : name_(std::move(name)), log_(log) {}

    // What Invoke returns (a failing sink still records).
    HRESULT result = S_OK;
    // Called after an event is recorded; may disconnect sinks.
    std::function<void()> onEvent;
    // False: the sink answers IDispatch but not the event interface's IID, as the sinks of many
    // script hosts and containers do.
    bool answersEventInterface = true;

    LONG References() const { return refs_; }
    // The msgIds of TunaraMsgEvent this sink saw.
    std::vector<long> MsgIds() const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs_); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

private:
    std::wstring name_;
    std::vector<RecordedEvent>& log_;
    LONG refs_ = 1;
};

// Connects a sink to the control's _ITunaraXChatEvents connection point; returns the cookie.
DWORD ConnectEvents(IUnknown* control, IUnknown* sink);
HRESULT DisconnectEvents(IUnknown* control, DWORD cookie);
