@echo off
rem Registers the TunaraXChat control of this folder for every user of the machine, with the
rem 32-bit registrar (the control is 32-bit code). Run it from an elevated prompt; running it
rem again registers the same files again.
setlocal
set "folder=%~dp0"
set "control=%folder%TunaraXChat.dll"
set "registrar=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "registrar=%SystemRoot%\SysWOW64\regsvr32.exe"

set "missing="
for %%f in ("%control%" "%folder%sharedir.dll" "%folder%Plugins\IN_PCM.DLL" "%registrar%") do (
  if not exist "%%~f" (
    echo install: %%~f is missing.
    set "missing=1"
  )
)
if defined missing (
  echo install: unpack the whole zip into this folder and run install.cmd again.
  exit /b 2
)
rem "net session" needs an administrator's rights on Windows (under Wine every process has them).
net session >nul 2>&1
if errorlevel 1 (
  echo install: this needs an administrator: right-click a command prompt, choose "Run as administrator" and run install.cmd there.
  exit /b 3
)
"%registrar%" /s "%control%"
if errorlevel 1 (
  echo install: registering %control% with %registrar% failed.
  exit /b 4
)
echo install: registered %control% with %registrar%.
echo install: containers create it as "TunaraXChat.ITunaraActiveXChat"; samples\ shows how.
exit /b 0
