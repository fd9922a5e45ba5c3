; Plays a list through the TunaraXChat control and shows the title of each entry as it starts,
; in a small window (closing it stops). AutoHotkey v2; the 32-bit AutoHotkey loads the control in
; process, the 64-bit one gets it out of process through the system's surrogate.
;   AutoHotkey.exe play.ahk [name ...]
; Names are files, stream URLs or M3U/PLS lists (full paths); without names, media\samples.m3u.
#Requires AutoHotkey v2.0
#SingleInstance Off

control := ComObject("TunaraXChat.ITunaraActiveXChat")
ComObjConnect(control, TunaraEvents)

win := Gui(, "TunaraXChat sample")
titleText := win.AddText("w420", "Starting...")
stateText := win.AddText("w420", "")
win.OnEvent("Close", Quit)
win.Show()

control.Initialize()
names := A_Args.Length ? A_Args : [A_ScriptDir "\media\samples.m3u"]
for name in names
    control.AppendFileToPlaylist(name)
stateText.Value := "Playlist: " control.Nb_Playlist_Items " entries"
control.Play()
; Sleep runs the message loop that the control's track changes and events arrive through.
while control.Status != 0
    Sleep 200
stateText.Value := "The list has played."
Sleep 2000
Quit()

Quit(*) {
    global control
    control.Deinitialize()
    ExitApp
}

; The current entry's "N. title" through GetCurrentPlaylistItem's two [out] parameters.
CurrentTitle() {
    global control
    file := Buffer(24, 0), title := Buffer(24, 0)
    control.GetCurrentPlaylistItem(ComValue(0x400C, file.Ptr), ComValue(0x400C, title.Ptr))
    text := ComValue(0x400C, title.Ptr)[]
    DllCall("oleaut32\VariantClear", "Ptr", file)
    DllCall("oleaut32\VariantClear", "Ptr", title)
    return text
}

class TunaraEvents {
    static TunaraMsgEvent(msgId, source) {
        global titleText, stateText
        if (msgId = 4)
            titleText.Value := "Now playing: " CurrentTitle()
        else if (msgId = 101 || msgId = 102 || msgId = 104)
            stateText.Value := "Event " msgId ": an entry could not be played"
    }
    static TunaraStatus(msgId, comp, source) {
        global stateText
        if (msgId = 230)
            stateText.Value := "Buffering " comp " %"
    }
}
