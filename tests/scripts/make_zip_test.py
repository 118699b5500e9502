"""scripts/make-zip.py, run as the dist target runs it: a sound run writes the
zip and its checksum; a run that fails, by an error or by an exception in
the middle of writing, says so, leaves no .part file and leaves the zip and
checksum of an earlier run as they were."""
import hashlib
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SCRIPT = os.path.join(SOURCE_DIR, "scripts", "make-zip.py")


class MakeZipTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.addCleanup(self.work.cleanup)
        self.dir = self.work.name
        self.output = os.path.join(self.dir, "dist", "download.zip")
        self.readme = os.path.join(self.dir, "README.txt")
        with open(self.readme, "wb") as out:
            out.write(b"Read me\r\n")

    def make_zip(self, *entries):
        environment = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")
        command = [os.fsencode(sys.executable), os.fsencode(SCRIPT), b"--source-dir", os.fsencode(self.dir),
                   b"--output", os.fsencode(self.output), *entries]
        return subprocess.run(command, capture_output=True, env=environment, timeout=60)

    def files_in_dist(self):
        return sorted(os.listdir(os.path.dirname(self.output)))

    def read(self, path):
        with open(path, "rb") as source:
            return source.read()

    def test_writes_the_zip_and_its_checksum(self):
        result = self.make_zip(b"README.txt=" + os.fsencode(self.readme))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.files_in_dist(), ["download.zip", "download.zip.sha256"])
        with zipfile.ZipFile(self.output) as archive:
            self.assertEqual(archive.read("README.txt"), b"Read me\r\n")
        digest = hashlib.sha256(self.read(self.output)).hexdigest()
        self.assertEqual(self.read(self.output + ".sha256"), f"{digest}  download.zip\n".encode())

    def test_a_failed_run_leaves_no_part_file_and_the_earlier_zip(self):
        self.assertEqual(self.make_zip(b"README.txt=" + os.fsencode(self.readme)).returncode, 0)
        earlier = {name: self.read(os.path.join(os.path.dirname(self.output), name))
                   for name in self.files_in_dist()}
        # (case, the entries given): each fails after the .part file is
        # opened; the first entry is sound, so some of the zip is written.
        cases = [
            ("missing input", os.path.join(self.dir, "no-such-file")),
            ("input is a directory", self.dir),
            # Not UTF-8: the name cannot be stored, and zipfile raises while
            # writing the entry's header.
            ("name that cannot be stored", None),
        ]
        for case, second in cases:
            with self.subTest(case):
                if second is None:
                    broken = b"bad\xffname.txt=" + os.fsencode(self.readme)
                else:
                    broken = b"LICENSE.txt=" + os.fsencode(second)
                result = self.make_zip(b"README.txt=" + os.fsencode(self.readme), broken)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(b"make-zip.py: " + os.fsencode(self.output) + b" not written", result.stderr)
                self.assertNotIn(b"Traceback", result.stderr)
                self.assertEqual(self.files_in_dist(), sorted(earlier))
                for name, data in earlier.items():
                    self.assertEqual(self.read(os.path.join(os.path.dirname(self.output), name)), data, name)


if __name__ == "__main__":
    unittest.main()
