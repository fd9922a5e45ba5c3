#!/usr/bin/env python3
"""Checks the release zip: its file list, the third-party licences, Windows line endings, the
version resource of each of our DLLs, that no DLL holds debug sections or needs the MinGW
runtime, and that README.txt and README.md name the VERSION file's version.
Usage: check_zip.py ZIP SOURCE_DIR OBJDUMP"""
import os
import re
import subprocess
import sys
import tempfile
import zipfile

from version_resource import fixed_version, version_strings

REQUIRED = [
    "TunaraXChat.dll", "sharedir.dll", "README.txt", "install.cmd", "uninstall.cmd",
    "Plugins/IN_PCM.DLL", "Plugins/IN_MPA.DLL", "Plugins/out_kv.dll", "Plugins/out_pq2.dll",
    "Plugins/out_pq2.ini", "Plugins/libmpg123-0.dll", "Plugins/libmpg123-COPYING.txt",
    "samples/play.vbs", "samples/play.wsf", "samples/play.ps1", "samples/play.ahk",
    "samples/csharp/TunaraSample.csproj", "samples/csharp/Program.cs", "samples/csharp/PlayerForm.cs",
    "samples/csharp/TunaraEvents.cs", "samples/cpp/CMakeLists.txt", "samples/cpp/tunaraplay.cpp",
    "samples/cpp/tunaraxchat.h", "samples/media/samples.m3u",
]
CRLF_SUFFIXES = (".cmd", ".vbs", ".wsf", ".js", ".ps1", ".ahk", ".cs", ".csproj", ".cpp", ".h", ".ini", ".m3u")
# Our modules; any other DLL in Plugins comes from another project.
OUR_MODULE = re.compile(r"^(in|out)_.*\.dll$", re.IGNORECASE)
MINGW_RUNTIME = re.compile(r"DLL Name: (libgcc|libstdc\+\+|libwinpthread)", re.IGNORECASE)

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def licence_of(dll_name):
    return re.sub(r"(-\d+)?\.dll$", "", dll_name, flags=re.IGNORECASE) + "-COPYING.txt"


def check_dll(path, name, objdump, ours, version):
    sections = subprocess.run([objdump, "-h", path], capture_output=True, text=True, check=True).stdout
    check(".debug_" not in sections, name + " holds debug sections")
    imports = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout
    check(not MINGW_RUNTIME.search(imports), name + " needs the MinGW runtime")
    if not ours:
        return
    strings = version_strings(path)
    numbers = ".".join((version.split(".") + ["0", "0", "0"])[:3]) + ".0"
    check(fixed_version(path) == (numbers, numbers), "%s: fixed version %s, not %s" % (name, fixed_version(path), numbers))
    for key in ("FileVersion", "ProductVersion"):
        check(strings.get(key) == version, "%s: %s is %r, not %r" % (name, key, strings.get(key), version))
    check(strings.get("ProductName") == "TunaraXChat", "%s: ProductName %r" % (name, strings.get("ProductName")))
    check(bool(strings.get("FileDescription")), name + " has no FileDescription")
    check("Copyright" in strings.get("LegalCopyright", ""), name + " has no LegalCopyright")
    check(strings.get("OriginalFilename", "").lower() == os.path.basename(name).lower(),
          "%s: OriginalFilename %r" % (name, strings.get("OriginalFilename")))


def main():
    zip_path, source_dir, objdump = sys.argv[1:4]
    version = open(os.path.join(source_dir, "VERSION")).read().strip()
    check(os.path.basename(zip_path) == "TunaraXChat-%s-win32.zip" % version, "zip named " + zip_path)
    with zipfile.ZipFile(zip_path) as archive:
        names = [n for n in archive.namelist() if not n.endswith("/")]
        with tempfile.TemporaryDirectory() as unpacked:
            archive.extractall(unpacked)
            for required in REQUIRED:
                check(required in names, "missing from the zip: " + required)
            top = {n.split("/")[0] for n in names}
            check(top == {"TunaraXChat.dll", "sharedir.dll", "README.txt", "install.cmd", "uninstall.cmd",
                          "Plugins", "samples"}, "unexpected top-level entries: %s" % sorted(top))
            for name in names:
                path = os.path.join(unpacked, name)
                data = open(path, "rb").read()
                if name.lower().endswith(CRLF_SUFFIXES) or name == "README.txt":
                    check(data.count(b"\n") == data.count(b"\r\n") and data.count(b"\n") > 0,
                          name + " does not end its lines in CR LF")
                if name.lower().endswith(".dll"):
                    base = os.path.basename(name)
                    ours = "/" not in name or bool(OUR_MODULE.match(base))
                    check_dll(path, name, objdump, ours, version)
                    if not ours:
                        check("Plugins/" + licence_of(base) in names, base + " comes without its licence " + licence_of(base))
            readme = open(os.path.join(unpacked, "README.txt"), encoding="ascii", newline="").read()
            check(readme.startswith("TunaraXChat %s\r\n" % version), "README.txt does not start with the version")
            check("TunaraXChat.ITunaraActiveXChat" in readme, "README.txt does not name the ProgID")
    project_readme = open(os.path.join(source_dir, "README.md"), encoding="utf-8").read()
    check(re.search(r"^Version %s\b" % re.escape(version), project_readme, re.MULTILINE),
          "README.md has no line 'Version %s'" % version)
    for failure in failures:
        print("FAIL: " + failure)
    print("checked %d files of %s" % (len(names), os.path.basename(zip_path)))
    return 1 if failures else 0


sys.exit(main())
