#!/usr/bin/env bash
# Regenerates the demo machine template demo/machine/ (a Windows 98 SE
# machine) from nothing but this script. Every binary is a placeholder of our
# own: a line of text or bytes from a seeded generator.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
m="$here/machine"
keep_registry=""
if [ -f "$m/registry.reg" ]; then keep_registry="$(mktemp)"; cp "$m/registry.reg" "$keep_registry"; fi
rm -rf "$m"
mkdir -p "$m"
C="$m/drives/C"

crlf() { mkdir -p "$(dirname "$1")"; printf '%s\r\n' "${@:2}" >"$1"; }
text() { mkdir -p "$(dirname "$1")"; printf '%s\n' "${@:2}" >"$1"; }
# seeded placeholder bytes: seeded <file> <size> <seed>
seeded() {
  mkdir -p "$(dirname "$1")"
  python3 - "$1" "$2" "$3" <<'PY'
import sys
path, size, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
x = seed & 0xFFFFFFFF or 1
out = bytearray()
while len(out) < size:
    x ^= (x << 13) & 0xFFFFFFFF; x ^= x >> 17; x ^= (x << 5) & 0xFFFFFFFF
    out.append(x & 0xFF)
open(path, "wb").write(bytes(out))
PY
}
folder() { mkdir -p "$1"; touch "$1/.gitkeep"; }

# ---- the machine description ------------------------------------------------
text "$m/machine.ini" \
  "; Kelvaran demo machine: Windows 98 Second Edition (see demo/README.md)" \
  "[Machine]" "Name=Demo Windows 98 SE" "CurrentDrive=C" "" \
  "[System]" "PlatformId=1" "MajorVersion=4" "MinorVersion=10" "BuildNumber=2222" "CSDVersion=\" A \"" \
  "ComputerName=DEMO98" "UserName=Jordan" \
  "WindowsDirectory=C:\\WINDOWS" "SystemDirectory=C:\\WINDOWS\\SYSTEM" "TempPath=C:\\WINDOWS\\TEMP\\" \
  "TotalPhys=134217728" "AvailPhys=61865984" "MemoryLoad=53" \
  "TotalPageFile=268435456" "AvailPageFile=201326592" \
  "TotalVirtual=2143289344" "AvailVirtual=2097152000" \
  "ProcessorArchitecture=0" "ProcessorType=586" "ProcessorLevel=6" "ProcessorRevision=2058" \
  "NumberOfProcessors=1" "ActiveProcessorMask=1" "PageSize=4096" \
  "KeyboardType=4" "KeyboardSubtype=0" "FunctionKeys=12" "" \
  "[Drive A]" "Type=2" "Medium=disk01" "" \
  "[Drive C]" "Type=3" "Folder=drives/C" "Capacity=4293918720" "ClusterSize=4096" "Serial=3A1F07C2" \
  "Label=DEMO98" "WriteProtected=0" "" \
  "[Drive D]" "Type=5" "Medium=cd01" "" \
  "[Drive N]" "Type=4" "Folder=drives/N" "Unc=\\\\FILESERVER\\BACKUP" "Capacity=1073741824" \
  "ClusterSize=4096" "Serial=51C0FFEE" "Label=BACKUP"

medium() {  # medium <name> <label> <capacity> <cluster> <serial> <writeprotected>
  text "$m/media/$1.ini" "[Medium]" "Label=$2" "Capacity=$3" "ClusterSize=$4" "Serial=$5" \
    "WriteProtected=$6" "Formatted=1"
  folder "$m/media/$1"
}
medium disk01 "" 1457664 512 1C2D3E4F 0
medium disk02 "" 1457664 512 2B3C4D5E 0
medium disk03 "" 1457664 512 3A4B5C6D 0
medium cd01 KVTOOLS 681574400 2048 0A0B0C0D 1
crlf "$m/media/cd01/README.TXT" "Kelvaran tools CD (demo medium)."
seeded "$m/media/cd01/SETUP.EXE" 2048 11

# ---- drive C: system files --------------------------------------------------
seeded "$C/IO.SYS" 4096 1
crlf "$C/MSDOS.SYS" "[Paths]" "WinDir=C:\\WINDOWS" "WinBootDir=C:\\WINDOWS" "HostWinBootDrv=C" "" \
  "[Options]" "BootMulti=1" "BootGUI=1" "DoubleBuffer=1" "AutoScan=1" "WinVer=4.10.2222" \
  ";" ";The following lines are required for compatibility with other programs." \
  ";Do not remove them (MSDOS.SYS needs to be >1024 bytes)." \
  $(for i in $(seq 1 18); do echo ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"; done)
seeded "$C/COMMAND.COM" 3000 2
seeded "$C/DRVSPACE.BIN" 2048 3
crlf "$C/AUTOEXEC.BAT" "SET BLASTER=A220 I5 D1 T4" "SET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND"
crlf "$C/CONFIG.SYS" "DEVICE=C:\\WINDOWS\\HIMEM.SYS" "DOS=HIGH,UMB" "FILES=40"
crlf "$C/AUTOEXEC.DOS" "@ECHO OFF" "PROMPT \$p\$g" "PATH C:\\DOS"
crlf "$C/CONFIG.DOS" "DEVICE=C:\\DOS\\HIMEM.SYS" "FILES=30" "BUFFERS=20"

W="$C/WINDOWS"
crlf "$W/SYSTEM.INI" "[boot]" "shell=Explorer.exe" "system.drv=system.drv" "" "[386Enh]" "woafont=dosapp.fon" \
  "" "[drivers]" "wave=mmsystem.dll" "timer=timer.drv"
crlf "$W/WIN.INI" "[windows]" "load=" "run=" "NullPort=None" "" "[Desktop]" "Wallpaper=(None)" "TileWallpaper=0" \
  "" "[intl]" "iCountry=1"
crlf "$W/PROTOCOL.INI" "[ndishlp\$]" "DriverName=ndishlp\$" "" "[protman\$]" "DriverName=protman\$"
crlf "$W/CONTROL.INI" "[current]" "color schemes=Windows Standard" "" "[Patterns]" "(None)=(None)"
seeded "$W/SYSTEM.DAT" 16384 4
seeded "$W/USER.DAT" 8192 5
seeded "$W/WININIT.EXE" 4096 6
seeded "$W/HIMEM.SYS" 2048 7
seeded "$W/COMMAND.COM" 3000 2
seeded "$W/EXPLORER.EXE" 6144 8
seeded "$W/REGEDIT.EXE" 4096 9
seeded "$W/COMMAND/EBD/IO.SYS" 4096 1
seeded "$W/COMMAND/FORMAT.COM" 2048 10
seeded "$W/SYSTEM/KERNEL32.DLL" 8192 12
seeded "$W/SYSTEM/ADVAPI32.DLL" 4096 13
seeded "$W/SYSTEM/USER32.DLL" 4096 14
folder "$W/TEMP"

lnk() { text "$1" "[InternetShortcut-like placeholder]" "Target=$2"; }
P="$W/Start Menu/Programs"
lnk "$P/Windows Explorer.lnk" "C:\\WINDOWS\\EXPLORER.EXE"
lnk "$P/MS-DOS Prompt.lnk" "C:\\WINDOWS\\COMMAND.COM"
lnk "$P/Accessories/Notepad.lnk" "C:\\WINDOWS\\NOTEPAD.EXE"
lnk "$P/Kelvaran/Kelvaran.lnk" "C:\\Program Files\\Kelvaran\\Kelvaran.exe"
lnk "$P/Kelvaran/Readme.lnk" "C:\\Program Files\\Kelvaran\\Readme.txt"
lnk "$P/StartUp/Kelvaran SmartSave.lnk" "C:\\Program Files\\Kelvaran\\Kelvaran.exe"
crlf "$W/Favorites/Links/Kelvaran Home.url" "[InternetShortcut]" "URL=http://kelvaran.example/"
crlf "$W/Favorites/Weather.url" "[InternetShortcut]" "URL=http://weather.example/"
text "$W/Cookies/jordan@weather.example[1].txt" "units" "metric" "weather.example/"
text "$W/Cookies/index.dat" "Client UrlCache MMF placeholder"
seeded "$W/Application Data/Microsoft/Address Book/Jordan.wab" 4096 15
OE="$W/Application Data/Identities/{4F2A61C0-1B7D-11D4-9C3E-00A0C9D1E2F3}/Microsoft/Outlook Express"
seeded "$OE/Inbox.dbx" 8192 16
seeded "$OE/Outbox.dbx" 1024 17
seeded "$OE/Sent Items.dbx" 2048 18
seeded "$OE/Deleted Items.dbx" 1024 19
seeded "$OE/Folders.dbx" 1024 20

# ---- programs ---------------------------------------------------------------
K="$C/Program Files/Kelvaran"
text "$K/zip.exe" "KELVARAN-PROGRAM zip"
text "$K/Unzip32.exe" "KELVARAN-PROGRAM unzip"
text "$K/Unzip.exe" "KELVARAN-PROGRAM unzip"
seeded "$K/Kvados.exe" 6000 21
seeded "$K/Kelvaran.exe" 8192 22
crlf "$K/Readme.txt" \
  "Kelvaran 2.5 - configuration backup and restore" \
  "===============================================" \
  "" \
  "Kelvaran keeps copies of your Windows configuration: the start-up files," \
  "the registry, the Start menu, your browser and mail data and any files" \
  "you add to its list. Up to five configurations are kept at a time." \
  "" \
  "Saving: choose a slot on the Save page, name it and press Save. Saves can" \
  "go to a folder or across floppy disks; Kelvaran asks for each disk." \
  "" \
  "Restoring: choose a configuration on the Restore page, tick what to put" \
  "back and press Restore. Windows restarts to finish the restore." \
  "" \
  "SmartSave: Kelvaran can save on a schedule without asking. Set it up on" \
  "the SmartSave page." \
  "" \
  "Rescue disks: the wizard writes a boot floppy and data disks that bring" \
  "back the system files even when Windows no longer starts." \
  "" \
  "Archives are made with the Info-ZIP zip and unzip programs that come" \
  "with Kelvaran."
N="$C/Program Files/Netscape/Users/default"
text "$N/bookmark.htm" "<!DOCTYPE NETSCAPE-Bookmark-file-1>" "<TITLE>Bookmarks for Jordan</TITLE>" \
  "<H1>Bookmarks for Jordan</H1>" "<DL><p>" '    <DT><A HREF="http://weather.example/">Weather</A>' "</DL><p>"
text "$N/cookies.txt" "# Netscape HTTP Cookie File" ".weather.example	TRUE	/	FALSE	1262304000	units	metric"
text "$N/prefs.js" '// placeholder preferences' 'user_pref("mail.identity.username", "Jordan");'
seeded "$N/Mail/Inbox" 2048 23
seeded "$N/Mail/Inbox.snm" 512 24
seeded "$N/Mail/Sent" 1024 25
folder "$N/News"
seeded "$C/Program Files/Netscape/Communicator/Program/netscape.exe" 8192 26
seeded "$C/Program Files/Internet Explorer/IEXPLORE.EXE" 8192 27
seeded "$C/Program Files/Outlook Express/msimn.exe" 4096 28

# ---- documents --------------------------------------------------------------
D="$C/My Documents"
crlf "$D/Letter to the club.txt" "Dear members," "" "the next meeting is on Friday." "" "Jordan"
crlf "$D/Budget 1999.csv" "Month,Income,Spent" "January,1200,950" "February,1200,1010"
seeded "$D/Holiday photo.bmp" 3000 29
crlf "$D/Projects/Garden plan.txt" "Tomatoes by the south wall." "Herbs near the door."
seeded "$D/Projects/Report.doc" 5000 30

# ---- drive N: (network) -----------------------------------------------------
crlf "$m/drives/N/Shared/Notice.txt" "Backups go to \\\\FILESERVER\\BACKUP\\Kelvaran."
folder "$m/drives/N/Kelvaran"

# ---- metadata: DOS attributes of the system files (R=1 H=2 S=4 A=32) ------
text "$m/drives/C.meta" "KELVARAN-METADATA 1" \
  "1	7		IO.SYS" "2	7		MSDOS.SYS" "3	32		COMMAND.COM" "4	7		DRVSPACE.BIN" \
  "5	35		WINDOWS/SYSTEM.DAT" "6	35		WINDOWS/USER.DAT"

# ---- registry ---------------------------------------------------------------
if [ -n "$keep_registry" ]; then mv "$keep_registry" "$m/registry.reg"; else printf 'REGEDIT4\r\n\r\n' >"$m/registry.reg"; fi
echo "demo machine written to $m"
