# Plays a list through the TunaraXChat control and shows the title of each entry as it starts.
#   powershell -ExecutionPolicy Bypass -File play.ps1 [name ...]
# Names are files, stream URLs or M3U/PLS lists (full paths); without names, media\samples.m3u.
# 32-bit Windows PowerShell (%SystemRoot%\SysWOW64\WindowsPowerShell\v1.0\powershell.exe) loads
# the control in process; 64-bit PowerShell gets it out of process, through the system's surrogate.
# The control's events wait in PowerShell's event queue; the loop below runs the message loop
# that the control's track changes arrive through, then takes the events from the queue.
param([Parameter(ValueFromRemainingArguments = $true)] [string[]] $Names)
Add-Type -AssemblyName System.Windows.Forms

$control = New-Object -ComObject TunaraXChat.ITunaraActiveXChat
$null = Register-ObjectEvent -InputObject $control -EventName TunaraMsgEvent -SourceIdentifier Tunara.Msg
$null = Register-ObjectEvent -InputObject $control -EventName TunaraStatus -SourceIdentifier Tunara.Status

function Show-Title {
    $file = $null
    $title = $null
    $control.GetCurrentPlaylistItem([ref] $file, [ref] $title)
    Write-Host "Now playing: $title"
}

function Receive-TunaraEvents {
    foreach ($received in @(Get-Event | Where-Object SourceIdentifier -like 'Tunara.*')) {
        $msgId = $received.SourceArgs[0]
        if ($received.SourceIdentifier -eq 'Tunara.Msg') {
            if ($msgId -eq 4) { Show-Title }
            if (101, 102, 104 -contains $msgId) { Write-Host "Event ${msgId}: an entry could not be played" }
        } elseif ($msgId -eq 230) {
            Write-Host "Buffering $($received.SourceArgs[1]) %"
        }
        Remove-Event -EventIdentifier $received.EventIdentifier
    }
}

try {
    $control.Initialize()
    if (-not $Names) { $Names = @(Join-Path $PSScriptRoot 'media\samples.m3u') }
    foreach ($name in $Names) { $control.AppendFileToPlaylist($name) }
    Write-Host "Playlist: $($control.Nb_Playlist_Items) entries"
    $control.Play()
    do {
        [System.Windows.Forms.Application]::DoEvents()
        Receive-TunaraEvents
        Start-Sleep -Milliseconds 100
    } while ($control.Status -ne 0)
    Write-Host 'The list has played.'
} finally {
    Unregister-Event -SourceIdentifier Tunara.Msg
    Unregister-Event -SourceIdentifier Tunara.Status
    $control.Deinitialize()
}
