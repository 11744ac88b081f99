#!/usr/bin/env python3
"""Reference side of the compression tests, on the zlib that Python carries.

  zlibref.py deflate IN OUT          raw deflate at level 2, memLevel 8
  zlibref.py inflate IN OUT          raw inflate
  zlibref.py streams IN OUTPREFIX    raw streams of IN at every level and
                                     strategy; prints one file name a line
  zlibref.py zipcheck ARCHIVE        testzip(), then one line an entry:
                                     name size packed crc y-m-d-h-m-s attr method
                                     crc-of-the-extracted-data
"""
import sys
import zipfile
import zlib


def deflate(data, level=2, strategy=zlib.Z_DEFAULT_STRATEGY):
    c = zlib.compressobj(level, zlib.DEFLATED, -15, 8, strategy)
    return c.compress(data) + c.flush()


def main(argv):
    cmd = argv[1]
    if cmd == "deflate":
        open(argv[3], "wb").write(deflate(open(argv[2], "rb").read()))
    elif cmd == "inflate":
        d = zlib.decompressobj(-15)
        out = d.decompress(open(argv[2], "rb").read())
        if not d.eof:
            return 1
        open(argv[3], "wb").write(out)
    elif cmd == "streams":
        data = open(argv[2], "rb").read()
        kinds = [("l%d" % level, level, zlib.Z_DEFAULT_STRATEGY) for level in range(10)]
        for name in ("Z_FILTERED", "Z_HUFFMAN_ONLY", "Z_RLE", "Z_FIXED"):
            kinds += [("%s_l%d" % (name, level), level, getattr(zlib, name)) for level in (1, 6, 9)]
        for tag, level, strategy in kinds:
            path = "%s_%s.z" % (argv[3], tag)
            open(path, "wb").write(deflate(data, level, strategy))
            print(path)
    elif cmd == "zipcheck":
        with zipfile.ZipFile(argv[2]) as z:
            bad = z.testzip()
            if bad is not None:
                print("bad entry", bad)
                return 1
            for i in z.infolist():
                print(i.filename, i.file_size, i.compress_size, "%08x" % i.CRC,
                      "-".join(str(x) for x in i.date_time), "%x" % i.external_attr, i.compress_type,
                      "%08x" % zlib.crc32(z.read(i)))
    else:
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
