' The registered control driven by a script host through its ProgID: GetVersion's two
' out-parameters arrive in order.
Dim control, engineVersion, comVersion
Set control = CreateObject("TunaraXChat.ITunaraActiveXChat")
control.GetVersion engineVersion, comVersion
WScript.Echo "versions " & engineVersion & " " & comVersion
If engineVersion <> "2.6F" Or comVersion <> "1.0" Then WScript.Quit 1
WScript.Quit 0
