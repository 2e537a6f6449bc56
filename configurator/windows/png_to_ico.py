"""Packs PNG pictures into one Windows .ico (PNG entries, read since Vista):
    png_to_ico.py OUT.ico PICTURE.png...
Each picture keeps its own size; 256 is written as 0, as the format wants."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG picture")
    return struct.unpack(">II", data[16:24])


def main(out, pictures):
    images = [open(path, "rb").read() for path in pictures]
    offset = 6 + 16 * len(images)
    entries, body = b"", b""
    for data in images:
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit("an icon picture is at most 256 pixels wide and high")
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    with open(out, "wb") as ico:
        ico.write(struct.pack("<HHH", 0, 1, len(images)) + entries + body)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
