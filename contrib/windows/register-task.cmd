@echo off
rem Registers a daily run of ablagix at 23:30 in the Windows Task Scheduler.
rem Adjust the three paths, then run this file from an administrator prompt.
rem The task's "Last Run Result" shows the exit status (0x0 on success).
rem AX_TAGE (7 to 100, default 31) is read from the system environment:
rem   setx AX_TAGE 31 /M

schtasks /Create /F /TN "Ablagix kasse" /SC DAILY /ST 23:30 /RU SYSTEM ^
  /TR "C:\Tools\ablagix.exe D:\daten\kasse.dat D:\sich\kasse_[JJJJMMTT].dat /q"
