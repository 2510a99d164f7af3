"""Small icon, cursor, animated cursor and bitmap files for the module tests, made from a seed so that two files
never hold the same pictures. Pictures are BMP (with palette for depths up to 8, with an AND mask) or PNG."""
import struct
import zlib


def _pixel(seed, x, y):
    return (seed * 37 + x * 11 + y * 5) & 0xFF, (seed * 91 + x * 3) & 0xFF, (seed * 13 + y * 7) & 0xFF


def _row_bytes(bits):
    return (bits + 31) // 32 * 4


def dib(width, height, bit_count, seed, mask=True):
    """A bottom-up DIB: BITMAPINFOHEADER, palette, pixels and (for icons) the AND mask; height doubled when masked."""
    colours = 1 << bit_count if bit_count <= 8 else 0
    palette = b"".join(bytes((*_pixel(seed, i, i), 0)) for i in range(colours))
    stride = _row_bytes(width * bit_count)
    pixels = bytearray()
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            if bit_count == 32:
                row[x * 4:x * 4 + 4] = bytes((*_pixel(seed, x, y), 0xFF if (x + y) % 3 else 0x80))
            elif bit_count == 24:
                row[x * 3:x * 3 + 3] = bytes(_pixel(seed, x, y))
            else:
                index = (seed + x + y * 3) % colours
                bit = x * bit_count
                row[bit // 8] |= index << (8 - bit_count - bit % 8)
        pixels += row
    and_mask = bytearray()
    if mask:
        mask_stride = _row_bytes(width)
        for y in range(height):
            row = bytearray(mask_stride)
            for x in range(width):
                if (x * y + seed) % 7 == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            and_mask += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2 if mask else height, 1, bit_count, 0,
                         len(pixels) + len(and_mask), 0, 0, colours, 0)
    return header + palette + bytes(pixels) + bytes(and_mask)


def png(width, height, seed):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + b"".join(bytes((*_pixel(seed, x, y), 255)) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def picture(size, seed):
    """size is (width, height, bit count) for a BMP picture, or (width, height, "png")."""
    width, height, depth = size
    return png(width, height, seed) if depth == "png" else dib(width, height, depth, seed)


def icon_file(sizes, seed, hot_spots=None):
    """An .ico, or a .cur when hot_spots gives each picture's (x, y)."""
    images = [picture(size, seed + i) for i, size in enumerate(sizes)]
    directory = struct.pack("<HHH", 0, 2 if hot_spots else 1, len(images))
    offset = 6 + 16 * len(images)
    for i, ((width, height, depth), image) in enumerate(zip(sizes, images)):
        colours = 1 << depth if depth != "png" and depth <= 4 else 0
        second, third = hot_spots[i] if hot_spots else (1, 32 if depth == "png" else depth)
        directory += struct.pack("<BBBBHHII", width & 0xFF, height & 0xFF, colours, 0, second, third, len(image),
                                 offset)
        offset += len(image)
    return directory + b"".join(images)


def bitmap_file(width, height, bit_count, seed):
    image = dib(width, height, bit_count, seed, mask=False)
    colours = 1 << bit_count if bit_count <= 8 else 0
    return struct.pack("<2sIHHI", b"BM", 14 + len(image), 0, 0, 14 + 40 + 4 * colours) + image


def animated_cursor(frame_count, seed):
    def chunk(kind, data):
        return kind + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")

    frames = [icon_file([(32, 32, 32)], seed + i, [(3, 4)]) for i in range(frame_count)]
    header = struct.pack("<9I", 36, frame_count, frame_count, 32, 32, 0, 0, 6, 1)
    frame_list = b"fram" + b"".join(chunk(b"icon", frame) for frame in frames)
    body = b"ACON" + chunk(b"anih", header) + chunk(b"LIST", frame_list)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pictures_of(icon_or_cursor):
    """The directory entries (as 16-byte tuples) and image bytes of an .ico or .cur."""
    _, kind, count = struct.unpack_from("<HHH", icon_or_cursor)
    found = []
    for i in range(count):
        entry = struct.unpack_from("<BBBBHHII", icon_or_cursor, 6 + 16 * i)
        found.append((entry, icon_or_cursor[entry[7]:entry[7] + entry[6]]))
    return kind, found
