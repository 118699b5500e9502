"""scripts/version-info.py on a sound program and on programs whose version
resource is broken in one place each: it must read the first and stop with
status 1 and a message naming the fault on every other, never hang."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

import pe_fixture

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SCRIPT = os.path.join(SOURCE_DIR, "scripts", "version-info.py")
# A sound read takes well under a second; a reader walking in place is
# stopped here and the case fails.
TIMEOUT_SECONDS = 20

STRINGS = {"ProductName": "Tallyhorn", "FileVersion": "1.2.3", "OriginalFilename": "tallyhorn.exe"}


def sound_version():
    return bytearray(pe_fixture.version_resource("1.2.3", STRINGS))


def patched(offset, word):
    """The sound version resource with one 16-bit word replaced."""
    block = sound_version()
    struct.pack_into("<H", block, offset, word)
    return bytes(block)


def program_with_version(block):
    return pe_fixture.program(pe_fixture.resource_section({pe_fixture.RT_VERSION: block, 24: b"<assembly/>"}))


def run_reader(program_bytes):
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "program.exe")
        with open(path, "wb") as out:
            out.write(program_bytes)
        return subprocess.run([sys.executable, SCRIPT, path], capture_output=True, text=True,
                              timeout=TIMEOUT_SECONDS)


class SoundProgramTest(unittest.TestCase):
    def test_prints_the_fixed_part_the_strings_and_the_resource_types(self):
        result = run_reader(program_with_version(bytes(sound_version())))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.splitlines(), [
            "FILEVERSION=1.2.3.0", "PRODUCTVERSION=1.2.3.0", "ProductName=Tallyhorn", "FileVersion=1.2.3",
            "OriginalFilename=tallyhorn.exe", "resource-types=16 24"])


FIRST_CHILD = pe_fixture.FIRST_CHILD_OFFSET
KEY_ONLY = pe_fixture.VERSION_KEY.encode("utf-16-le")
# (case, the program's bytes, what the message must say)
MALFORMED = [
    ("key without its terminator",
     program_with_version(struct.pack("<HHH", 6 + len(KEY_ONLY), 0, 0) + KEY_ONLY), "no terminator"),
    ("zero-length child", program_with_version(patched(FIRST_CHILD, 0)), "has length 0"),
    ("child shorter than its header and key", program_with_version(patched(FIRST_CHILD, 6)), "too short"),
    ("child longer than its parent",
     program_with_version(patched(FIRST_CHILD, len(sound_version()))), "beyond the block"),
    ("block longer than the resource",
     program_with_version(patched(0, len(sound_version()) + 8)), "beyond the block"),
    ("value longer than its block", program_with_version(patched(2, 0xFFF0)), "runs past its end"),
    ("resource directory naming itself",
     pe_fixture.program(struct.pack("<IIHHHHII", 0, 0, 0, 0, 0, 1, pe_fixture.RT_VERSION, 0x80000000)),
     "nest too deep"),
]


class MalformedProgramTest(unittest.TestCase):
    def test_stops_with_a_message_naming_the_fault(self):
        for case, program_bytes, message in MALFORMED:
            with self.subTest(case):
                try:
                    result = run_reader(program_bytes)
                except subprocess.TimeoutExpired:
                    self.fail(f"{case}: still reading after {TIMEOUT_SECONDS}s")
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(message, result.stderr)
                self.assertTrue(result.stderr.startswith("version-info.py: "), result.stderr)
                self.assertEqual(result.stdout, "")


if __name__ == "__main__":
    unittest.main()
