#!/usr/bin/env python3
"""Writes a folder into a .tar.gz or .zip archive that depends on nothing but the files'
contents: entries in name order, one fixed time, no owner names, executables marked.

    archive.py FOLDER ARCHIVE EPOCH

The archive holds FOLDER's own name as its top folder, so it unpacks into one folder.
"""
import gzip
import os
import sys
import tarfile
import time
import zipfile


def entries(folder):
    """Every folder and file below `folder`, with paths that start with its name, sorted."""
    top = os.path.basename(os.path.normpath(folder))
    found = [(folder, top)]
    for root, folders, files in os.walk(folder):
        folders.sort()
        for name in sorted(folders + files):
            path = os.path.join(root, name)
            found.append((path, os.path.join(top, os.path.relpath(path, folder))))
    return sorted(found, key=lambda entry: entry[1])


def write_tar(folder, archive, epoch):
    def normalised(info):
        info.mtime = epoch
        info.uid = info.gid = 0
        info.uname = info.gname = ""
        info.mode = 0o755 if info.isdir() or info.mode & 0o111 else 0o644
        return info

    with open(archive, "wb") as raw, gzip.GzipFile(fileobj=raw, mode="wb", mtime=epoch, filename="") as packed:
        with tarfile.open(fileobj=packed, mode="w", format=tarfile.PAX_FORMAT) as tar:
            for path, name in entries(folder):
                tar.add(path, arcname=name, recursive=False, filter=normalised)


def write_zip(folder, archive, epoch):
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip times start in 1980
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as packed:
        for path, name in entries(folder):
            if os.path.isdir(path):
                continue
            info = zipfile.ZipInfo(name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = (0o755 if os.access(path, os.X_OK) else 0o644) << 16
            with open(path, "rb") as source:
                packed.writestr(info, source.read())


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: archive.py FOLDER ARCHIVE EPOCH")
    folder, archive, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    if archive.endswith(".zip"):
        write_zip(folder, archive, epoch)
    elif archive.endswith(".tar.gz"):
        write_tar(folder, archive, epoch)
    else:
        sys.exit("archive.py: an archive is .zip or .tar.gz: " + archive)


if __name__ == "__main__":
    main()
