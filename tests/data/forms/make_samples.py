#!/usr/bin/env python3
"""Writes the sample forms beside this script: small forms laid out as Delphi writes them, each
holding one kind of picture container. Run it again only to change the samples; the tests read
the files as committed."""
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent


def png(width, height, pixel):
    """An 8-bit RGBA PNG; pixel(x, y) gives (r, g, b, a)."""
    rows = b"".join(
        b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))




def shape(size, colour, kind):
    r, g, b = colour
    c = (size - 1) / 2

    def pixel(x, y):
        inside = ((x - c) ** 2 + (y - c) ** 2 <= (size / 2 - 1) ** 2 if kind == "disc"
                  else abs(x - c) + abs(y - c) <= size / 2 - 1)
        edge = ((x - c) ** 2 + (y - c) ** 2 <= (size / 2) ** 2 if kind == "disc"
                else abs(x - c) + abs(y - c) <= size / 2)
        return (r, g, b, 255 if inside else 128 if edge else 0)

    return png(size, size, pixel)


def bmp32(size, colour, alpha):
    """A BMP file, 32 bits, bottom-up; alpha 0 everywhere when `alpha` is False."""
    r, g, b = colour
    bits = b""
    for y in reversed(range(size)):
        for x in range(size):
            on = x >= size // 4 and x < size - size // 4
            a = (255 if on else 0) if alpha else 0
            bits += bytes((b, g, r, a) if on else (255, 0, 255, a))
    header = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 32, 0, len(bits), 0, 0, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(bits), 0, 0, 54) + header + bits


def bmp1(size, transparent):
    """A 1-bit BMP mask, bottom-up; white where transparent(x, y)."""
    stride = (size + 31) // 32 * 4
    bits = b""
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        bits += bytes(row)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    header = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 1, 0, len(bits), 0, 0, 2, 0)
    offset = 14 + 40 + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + header + palette + bits


def hex_value(data, indent):
    """Hex in braces, 32 bytes a line, the closing brace ending the last line."""
    lines = [data[i:i + 32].hex().upper() for i in range(0, len(data), 32)]
    return "{\r\n" + "\r\n".join(indent + line for line in lines) + "}"


RED, GREEN, BLUE = (200, 40, 40), (40, 160, 60), (40, 80, 200)


def image_collection():
    items = [("Save", [shape(16, RED, "disc"), shape(32, RED, "disc")]),
             ("Open", [shape(16, GREEN, "diamond"), shape(32, GREEN, "diamond")]),
             ("Print", [shape(32, BLUE, "disc")])]  # no 16 x 16 drawing of its own
    text = "object DataModule1: TDataModule\r\n  Height = 240\r\n  Width = 320\r\n"
    text += "  object ImageCollection1: TImageCollection\r\n    Images = <\r\n"
    for name, pictures in items:
        text += "      item\r\n        Name = '%s'\r\n        SourceImages = <\r\n" % name
        for data in pictures:
            text += ("          item\r\n            Image.Data = %s\r\n          end" %
                     hex_value(data, " " * 14))
            text += ">\r\n" if data is pictures[-1] else "\r\n"
        text += "      end"
        text += ">\r\n" if name == items[-1][0] else "\r\n"
    text += "    Left = 48\r\n    Top = 32\r\n  end\r\n"
    text += ("  object VirtualImageList1: TVirtualImageList\r\n    Images = <\r\n      item\r\n"
             "        CollectionIndex = 0\r\n        CollectionName = 'Save'\r\n"
             "        Name = 'Save'\r\n      end>\r\n    ImageCollection = ImageCollection1\r\n"
             "    Left = 144\r\n    Top = 32\r\n  end\r\nend\r\n")
    return text


def png_image_list():
    items = [("ok", shape(16, GREEN, "disc")), ("cancel", shape(16, RED, "diamond")),
             ("help", shape(16, BLUE, "disc"))]
    text = "object Form1: TForm1\r\n  Left = 0\r\n  Top = 0\r\n  Caption = 'Form1'\r\n"
    text += "  object PngImageList1: TPngImageList\r\n    PngImages = <\r\n"
    for name, data in items:
        text += ("      item\r\n        Background = clWindow\r\n        Name = '%s'\r\n"
                 "        PngImage.Data = %s\r\n      end" % (name, hex_value(data, " " * 10)))
        text += ">\r\n" if name == items[-1][0] else "\r\n"
    text += "    Left = 24\r\n    Top = 16\r\n  end\r\nend\r\n"
    return text


def cx_image_list():
    bitmap = bmp32(16, BLUE, alpha=False)
    mask = bmp1(16, lambda x, y: not (16 // 4 <= x < 16 - 16 // 4))
    withAlpha = bmp32(16, RED, alpha=True)
    text = "object Form2: TForm2\r\n  Caption = 'Form2'\r\n"
    text += ("  object cxImageList1: TcxImageList\r\n    SourceDPI = 96\r\n    FormatVersion = 1\r\n"
             "    DesignInfo = 1048600\r\n    ImageInfo = <\r\n")
    text += ("      item\r\n        ImageClass = 'TBitmap'\r\n        Image.Data = %s\r\n"
             "        Mask.Data = %s\r\n      end\r\n" %
             (hex_value(struct.pack("<I", len(bitmap)) + bitmap, " " * 10),
              hex_value(struct.pack("<I", len(mask)) + mask, " " * 10)))
    text += ("      item\r\n        ImageClass = 'TBitmap'\r\n        Image.Data = %s\r\n"
             "      end\r\n" % hex_value(struct.pack("<I", len(withAlpha)) + withAlpha, " " * 10))
    text += ("      item\r\n        ImageClass = 'TdxPNGImage'\r\n        Image.Data = %s\r\n"
             "      end>\r\n  end\r\nend\r\n" % hex_value(shape(16, GREEN, "disc"), " " * 10))
    return text


def binary_png_image_list():
    """The PNG image list of a binary form (TPF0), as the VCL streams it."""
    def short(s):
        return bytes((len(s),)) + s.encode()

    def binary(data):
        return b"\x0a" + struct.pack("<I", len(data)) + data

    out = b"TPF0" + short("TForm3") + short("Form3")
    out += short("Caption") + b"\x06" + short("Form3")
    out += b"\0"  # end of the form's properties
    out += short("TPngImageList") + short("PngImageList1")
    out += short("Height") + b"\x02\x18" + short("Width") + b"\x02\x18"
    out += short("PngImages") + b"\x0e"
    for name, colour in (("first", RED), ("second", BLUE)):
        out += b"\x01" + short("Name") + b"\x06" + short(name)
        out += short("PngImage.Data") + binary(shape(24, colour, "disc")) + b"\0"
    out += b"\0"  # end of the collection
    out += short("Left") + b"\x02\x10" + short("Top") + b"\x02\x10" + b"\0"  # properties
    out += b"\0"  # no children
    out += b"\0"  # end of the form's children
    return out


(HERE / "image_collection.dfm").write_bytes(image_collection().encode())
(HERE / "png_image_list.dfm").write_bytes(png_image_list().encode())
(HERE / "cx_image_list.dfm").write_bytes(cx_image_list().encode())
(HERE / "png_image_list_binary.dfm").write_bytes(binary_png_image_list())
