' Plays a list through the TunaraXChat control and shows the title of each entry as it starts.
'   cscript //nologo play.vbs [name ...]
' Names are files, stream URLs or M3U/PLS lists (full paths); without names, media\samples.m3u.
' Windows Script Host delivers the control's events to the Tunara_ handlers below while the script
' waits in WScript.Sleep, and the control moves on to the next entry by itself. A script host
' without WScript.ConnectObject and WScript.Sleep (Wine's) runs no message loop for the control:
' the script then watches the clock and the position and moves the list on itself.
Option Explicit

Dim control, hasEvents, canSleep, shown, lastPosition, stillSince
Set control = CreateObject("TunaraXChat.ITunaraActiveXChat")

On Error Resume Next
WScript.ConnectObject control, "Tunara_"
hasEvents = (Err.Number = 0)
Err.Clear
WScript.Sleep 1
canSleep = (Err.Number = 0)
On Error GoTo 0
If Not hasEvents Then WScript.Echo "This script host delivers no events: showing the titles by polling."

control.Initialize
AddNames
WScript.Echo "Playlist: " & control.Nb_Playlist_Items & " entries"
control.Play
shown = ""
lastPosition = -1
stillSince = Timer
Do
  Wait 200
  ShowTitle
  If control.Status = 0 Then Exit Do
  If Not canSleep Then MoveOnWhenPlayed
Loop
control.Deinitialize
WScript.Echo "The list has played."

Sub AddNames
  Dim i, folder
  If WScript.Arguments.Count = 0 Then
    folder = Left(WScript.ScriptFullName, InStrRev(WScript.ScriptFullName, "\"))
    control.AppendFileToPlaylist folder & "media\samples.m3u"
  Else
    For i = 0 To WScript.Arguments.Count - 1
      control.AppendFileToPlaylist WScript.Arguments(i)
    Next
  End If
End Sub

Sub ShowTitle
  Dim filename, title
  filename = Empty
  title = Empty
  control.GetCurrentPlaylistItem filename, title
  If title <> shown And control.Status <> 0 Then
    shown = title
    WScript.Echo "Now playing: " & title
  End If
End Sub

' Without a message loop the end of a track is never handled: once a track's position has stood
' at its end for a second and a half, the script starts the next entry (or stops after the last).
Sub MoveOnWhenPlayed
  Dim position, length
  position = control.Position
  length = control.Length
  If position <> lastPosition Then
    lastPosition = position
    stillSince = Timer
  ElseIf length > 0 And position >= length - 1 And Elapsed(stillSince) > 1.5 Then
    lastPosition = -1
    stillSince = Timer
    If control.PlaylistPos < control.Nb_Playlist_Items - 1 Then control.NextTrack Else control.Stop
  End If
End Sub

Sub Wait(milliseconds)
  Dim since
  If canSleep Then
    WScript.Sleep milliseconds
  Else
    since = Timer
    Do While Elapsed(since) < milliseconds / 1000
    Loop
  End If
End Sub

' Seconds since a value of Timer, across midnight.
Function Elapsed(since)
  Elapsed = Timer - since
  If Elapsed < 0 Then Elapsed = Elapsed + 86400
End Function

Sub Tunara_TunaraMsgEvent(msgId)
  Select Case msgId
    Case 4: WScript.Echo "Event: track started"
    Case 101, 102, 104: WScript.Echo "Event " & msgId & ": an entry could not be played"
  End Select
End Sub

Sub Tunara_TunaraStatus(msgId, comp)
  If msgId = 230 Then WScript.Echo "Buffering " & comp & " %"
End Sub
