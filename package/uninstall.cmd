@echo off
rem Unregisters the TunaraXChat control of this folder with the 32-bit registrar. Run it from an
rem elevated prompt before deleting the folder; running it again changes nothing.
setlocal
set "folder=%~dp0"
set "control=%folder%TunaraXChat.dll"
set "registrar=%SystemRoot%\System32\regsvr32.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "registrar=%SystemRoot%\SysWOW64\regsvr32.exe"

set "missing="
for %%f in ("%control%" "%registrar%") do (
  if not exist "%%~f" (
    echo uninstall: %%~f is missing.
    set "missing=1"
  )
)
if defined missing (
  echo uninstall: the control cannot unregister itself without its files.
  exit /b 2
)
rem "net session" needs an administrator's rights on Windows (under Wine every process has them).
net session >nul 2>&1
if errorlevel 1 (
  echo uninstall: this needs an administrator: right-click a command prompt, choose "Run as administrator" and run uninstall.cmd there.
  exit /b 3
)
"%registrar%" /u /s "%control%"
if errorlevel 1 (
  echo uninstall: unregistering %control% with %registrar% failed.
  exit /b 4
)
echo uninstall: unregistered %control%; the folder may now be deleted.
exit /b 0
