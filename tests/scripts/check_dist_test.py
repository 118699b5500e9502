"""scripts/check-dist.sh against a download built for the test: sound, it
passes every check; broken in one place, it must report that check as
FAIL, still run every check after it, and end with status 1.

The programs in the zip are small PE files carrying the version resources
and texts the checks read (tests/scripts/pe_fixture.py), and `wine` and
`xdotool` are stand-ins on PATH that play the two programs and the display,
so every check runs here, without Wine, in a second or two."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

import pe_fixture

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SCRIPT = os.path.join(SOURCE_DIR, "scripts", "check-dist.sh")
MAKE_ZIP = os.path.join(SOURCE_DIR, "scripts", "make-zip.py")


def project_version():
    with open(os.path.join(SOURCE_DIR, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.search(r"^project\(Tallyhorn VERSION ([0-9][0-9.]*)", cmake.read(), re.M).group(1)


def copyright_line():
    with open(os.path.join(SOURCE_DIR, "LICENSE"), encoding="utf-8") as licence:
        return next(line.rstrip("\n") for line in licence if line.startswith("Copyright "))


VERSION = project_version()
DESCRIPTIONS = {"tallyhorn.exe": "Tallyhorn exotic wager calculator",
                "tallyhorn-cli.exe": "Tallyhorn command-line ticket counter"}
WORKED_TRIFECTA = "$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n"

# `wine PROGRAM [ARG]`: the command-line program prints FAKE_CLI_OUTPUT and
# ends with FAKE_CLI_STATUS; the calculator puts up its window (unless
# FAKE_NO_WINDOW is set) and, once Escape is pressed, ends with
# FAKE_CLOSE_STATUS.
FAKE_WINE = r"""#!/usr/bin/env bash
case "$(basename "$1")" in
  tallyhorn-cli.exe)
    printf '%s' "$FAKE_CLI_OUTPUT"
    exit "${FAKE_CLI_STATUS:-0}" ;;
  tallyhorn.exe)
    [ -n "${FAKE_NO_WINDOW:-}" ] && exit 0
    touch "$FAKE_DIR/window"
    for _ in $(seq 200); do
      [ -f "$FAKE_DIR/escape" ] && exit "${FAKE_CLOSE_STATUS:-0}"
      sleep 0.05
    done
    exit 99 ;;
esac
exit 127
"""
# `xdotool search ...` finds the window once it is up; `xdotool key` is
# Escape.
FAKE_XDOTOOL = r"""#!/usr/bin/env bash
case "$1" in
  search) [ -f "$FAKE_DIR/window" ] && echo 4242; exit 0 ;;
  key) touch "$FAKE_DIR/escape" ;;
esac
"""


def program(name, version=VERSION, manifest=True, about=True, version_block=None):
    strings = {"FileDescription": DESCRIPTIONS[name], "FileVersion": version, "InternalName": name[:-4],
               "LegalCopyright": copyright_line(), "OriginalFilename": name, "ProductName": "Tallyhorn",
               "ProductVersion": version}
    resources = {3: b"icon", 5: b"dialog", 14: b"group",
                 16: version_block or pe_fixture.version_resource(version, strings)}
    if manifest:
        resources[24] = b"<assembly/>"
    return pe_fixture.program(pe_fixture.resource_section(resources),
                              f"Version {VERSION}".encode() if about else b"")


def readme(first_line=f"Tallyhorn {VERSION}", line_end="\r\n"):
    return f"{first_line}{line_end}A calculator for exotic wagers.{line_end}".encode()


def sound_entries():
    return {"tallyhorn.exe": program("tallyhorn.exe"), "tallyhorn-cli.exe": program("tallyhorn-cli.exe"),
            "README.txt": readme(), "LICENSE.txt": f"MIT License\r\n\r\n{copyright_line()}\r\n".encode()}


# (case, change to the entries, change to the environment, what to break
# after the zip is made, the FAIL line expected)
def with_entry(name, data):
    return lambda entries: {**entries, name: data}


CASES = [
    ("an extra file", with_entry("notes.txt", b"x\r\n"), {}, None, "the zip holds"),
    ("a damaged zip", None, {}, "damage", "the zip is damaged"),
    ("a checksum of another zip", None, {}, "checksum", "does not match the zip"),
    ("Unix line ends in README.txt", with_entry("README.txt", readme(line_end="\n")), {}, None,
     "README.txt is empty or has a line end"),
    ("README.txt headed with another version", with_entry("README.txt", readme("Tallyhorn 0.9")), {}, None,
     "README.txt does not start with"),
    ("another version in the command-line program",
     with_entry("tallyhorn-cli.exe", program("tallyhorn-cli.exe", version="0.9.0")), {}, None,
     "tallyhorn-cli.exe: FileVersion is '0.9.0'"),
    ("a malformed version resource",
     with_entry("tallyhorn.exe", program("tallyhorn.exe", version_block=b"\x00\x00" * 8)), {}, None,
     "tallyhorn.exe has no readable version resource"),
    ("no manifest", with_entry("tallyhorn.exe", program("tallyhorn.exe", manifest=False)), {}, None,
     "has resource types '3 5 14 16'"),
    ("no About text", with_entry("tallyhorn.exe", program("tallyhorn.exe", about=False)), {}, None,
     "holds no About text"),
    ("a command-line program that prints the ticket and fails", None, {"FAKE_CLI_STATUS": "3"}, None,
     "ended with status 3"),
    ("a command-line program that prints something else", None, {"FAKE_CLI_OUTPUT": "Bets: 5\r\n"}, None,
     "tallyhorn-cli.exe printed"),
    ("a calculator with no window", None, {"FAKE_NO_WINDOW": "1"}, None, "showed no window"),
    ("a calculator that fails as it closes", None, {"FAKE_CLOSE_STATUS": "2"}, None,
     "ended with status 2 after Escape"),
]


class CheckDistTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tallyhorn-check-dist-")
        self.addCleanup(shutil.rmtree, self.work, True)
        self.bin = os.path.join(self.work, "bin")
        os.mkdir(self.bin)
        for name, text in (("wine", FAKE_WINE), ("xdotool", FAKE_XDOTOOL)):
            path = os.path.join(self.bin, name)
            with open(path, "w", encoding="ascii") as out:
                out.write(text)
            os.chmod(path, 0o755)

    def check(self, entries, environment=None, breakage=None):
        """Zips `entries` as the dist target does, breaks the result as
        asked, and runs the check on it in a fresh directory."""
        case_dir = tempfile.mkdtemp(dir=self.work)
        sources = []
        for name, data in entries.items():
            path = os.path.join(case_dir, name)
            with open(path, "wb") as out:
                out.write(data)
            sources.append(f"{name}={path}")
        zip_path = os.path.join(case_dir, "dist", "download.zip")
        subprocess.run([sys.executable, MAKE_ZIP, "--source-dir", SOURCE_DIR, "--output", zip_path, *sources],
                       check=True, capture_output=True, env=dict(os.environ, SOURCE_DATE_EPOCH="1700000000"))
        if breakage == "damage":
            # Flip a byte inside the first entry's compressed data.
            with zipfile.ZipFile(zip_path) as archive:
                first = archive.infolist()[0]
            with open(zip_path, "r+b") as out:
                out.seek(first.header_offset + 30 + len(first.filename) + 10)
                byte = out.read(1)
                out.seek(-1, os.SEEK_CUR)
                out.write(bytes([byte[0] ^ 0xFF]))
        if breakage == "checksum":
            with open(zip_path + ".sha256", "w", encoding="ascii") as out:
                out.write("0" * 64 + "  download.zip\n")
        fake_dir = os.path.join(case_dir, "fake")
        os.mkdir(fake_dir)
        env = dict(os.environ, PATH=self.bin + os.pathsep + os.environ["PATH"], DISPLAY=":fake",
                   DIST_CHECK_DIR=os.path.join(case_dir, "unpacked"), FAKE_DIR=fake_dir,
                   FAKE_CLI_OUTPUT=WORKED_TRIFECTA)
        env.update(environment or {})
        return subprocess.run(["bash", SCRIPT, zip_path], capture_output=True, text=True, env=env, timeout=120)

    def test_a_sound_download_passes_every_check(self):
        result = self.check(sound_entries())
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertNotIn("FAIL", result.stdout + result.stderr)
        self.assertIn("ok: tallyhorn.exe closes on Escape", result.stdout)
        self.assertIn("the download is good", result.stdout)

    def test_each_broken_part_fails_its_check_and_the_rest_still_run(self):
        for case, change, environment, breakage, expected in CASES:
            with self.subTest(case):
                entries = sound_entries()
                if change is not None:
                    entries = change(entries)
                result = self.check(entries, environment, breakage)
                report = result.stdout + result.stderr
                self.assertEqual(result.returncode, 1, report)
                self.assertRegex(report, "FAIL: .*" + re.escape(expected))
                # The last check ran and the failures were counted.
                self.assertRegex(report, r"tallyhorn.exe (closes on Escape|ended with status|showed no window)")
                self.assertRegex(report, r"[1-9][0-9]* check\(s\) of the download failed")


if __name__ == "__main__":
    unittest.main()
