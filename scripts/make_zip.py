#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on its files: fixed order, one time, fixed modes.
Each file keeps the relative path it is given (policy/ja-JP/zVelmora.adml).

Usage: make_zip.py OUT.zip SECONDS FILE...   (SECONDS: the time every entry carries, UTC)
"""
import os
import sys
import time
import zipfile


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    out, seconds, files = argv[1], int(argv[2]), argv[3:]
    stamp = time.gmtime(max(seconds, 315532800))[:6]  # a zip cannot date before 1980
    with zipfile.ZipFile(out, "w") as archive:
        for path in files:
            entry = zipfile.ZipInfo(os.path.normpath(path).replace(os.sep, "/"), date_time=stamp)
            entry.create_system = 3
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)


if __name__ == "__main__":
    main(sys.argv)
