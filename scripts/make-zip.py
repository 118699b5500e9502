#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on what goes into it.

    make-zip.py --source-dir DIR --output ZIP NAME=FILE [NAME=FILE ...]

The entries are written in the order given, each NAME holding FILE's bytes,
compressed the same way every time, all dated with one time: SOURCE_DATE_EPOCH
when it is set, otherwise the time of the last commit in DIR. Programs
(*.exe) get permissions 755, other files 644, as made on a Unix system; no
owner, no extra fields, no comment. Beside the zip goes ZIP.sha256, in the
form `sha256sum -c` reads, and the digest is printed.
"""
import argparse
import hashlib
import os
import subprocess
import sys
import time
import zipfile

# The earliest time a zip entry can carry (1980-01-01 00:00:00 UTC).
ZIP_EPOCH = 315532800


def source_date_epoch(source_dir):
    """The time to date the entries with, in seconds since 1970 (UTC)."""
    value = os.environ.get("SOURCE_DATE_EPOCH", "").strip()
    if not value:
        try:
            value = subprocess.run(
                ["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                check=True, capture_output=True, text=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError) as error:
            sys.exit(f"make-zip.py: no SOURCE_DATE_EPOCH and no commit to take the time from "
                     f"in {source_dir} ({error}); set SOURCE_DATE_EPOCH")
    try:
        return max(int(value), ZIP_EPOCH)
    except ValueError:
        sys.exit(f"make-zip.py: '{value}' is not a time in seconds")


def write_zip(path, entries, epoch):
    """Writes the entries (name, source path) to a zip at path."""
    date_time = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for name, source_path in entries:
            with open(source_path, "rb") as source:
                data = source.read()
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so the permissions below are read
            mode = 0o755 if name.lower().endswith(".exe") else 0o644
            info.external_attr = (0o100000 | mode) << 16
            archive.writestr(info, data, compresslevel=9)


def write_checksum(path, zip_path, zip_name):
    """Writes to path the SHA-256 line of the zip at zip_path, as sha256sum
    writes it for a file called zip_name, and returns the digest."""
    with open(zip_path, "rb") as written:
        digest = hashlib.sha256(written.read()).hexdigest()
    with open(path, "w", encoding="ascii", newline="\n") as checksum:
        checksum.write(f"{digest}  {zip_name}\n")
    return digest


def write_download(output, entries, epoch):
    """Writes the zip and its checksum beside it, both first to temporary
    files that are then renamed into place, so a run that fails in any way
    (an unreadable input, a full disk, an exception, an interrupt) leaves
    neither a half-written zip nor a .part file, and an earlier zip keeps
    its own checksum. Returns the digest."""
    checksum = output + ".sha256"
    temporaries = [output + ".part", checksum + ".part"]
    try:
        write_zip(temporaries[0], entries, epoch)
        digest = write_checksum(temporaries[1], temporaries[0], os.path.basename(output))
        os.replace(temporaries[0], output)
        os.replace(temporaries[1], checksum)
        return digest
    except BaseException:
        for temporary in temporaries:
            try:
                os.remove(temporary)
            except FileNotFoundError:
                pass
        raise


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("entries", nargs="+", metavar="NAME=FILE")
    args = parser.parse_args()

    entries = []
    for entry in args.entries:
        name, separator, path = entry.partition("=")
        if not separator or not name or not path:
            parser.error(f"'{entry}' is not NAME=FILE")
        entries.append((name, path))

    epoch = source_date_epoch(args.source_dir)
    try:
        os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
        digest = write_download(args.output, entries, epoch)
    except (OSError, UnicodeError) as error:
        # An unreadable input, a full disk, a name that cannot be stored.
        sys.exit(f"make-zip.py: {args.output} not written: {error}")
    print(f"{args.output}: {os.path.getsize(args.output)} bytes")
    print(f"SHA-256 {digest}  {os.path.basename(args.output)}")


if __name__ == "__main__":
    main()
