#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Run again after changing an input format; the files are small and committed.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data, kind="corpus"):
    folder = os.path.join(HERE, kind, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# Effect files: two geometry bytes (LEDs - 1, lines - 1), then the file.
def led_data_length(leds, lines):
    coded = (18 * leds // 8) * lines
    return coded + 4096 - coded % 4096


def slotted(leds, lines, pictures, frames, loops, slots=100, frame_records=None, extra=b""):
    header = bytearray(120)
    header[7:12] = bytes(frames)
    header[12:17] = bytes(loops)
    header[19] = pictures
    for i in range(100):
        header[20 + i] = (i % 50) + 1
    t = 3 * leds * lines
    body = bytearray()
    for s in range(slots):
        body += bytes([(s * 7 + k) & 0xFF for k in range(t)])
    count = sum(frames) if frame_records is None else frame_records
    for f in range(count):
        body += bytes([(f * 13 + k) & 0xFF for k in range(t)])
    return bytes([leds - 1, lines - 1]) + bytes(header) + bytes(body) + extra


def indexed(leds, lines, segments, record_count=None, records=None, damage=None):
    header = bytearray(4096)
    header[0] = 0x22
    header[1:8] = bytes.fromhex("11223344556677")
    if record_count is None:
        record_count = segments[-1][1] if segments else 0
    header[8:10] = struct.pack(">H", record_count)
    for i, (first, last, time, repeat) in enumerate(segments):
        header[16 + 6 * i:22 + 6 * i] = struct.pack(">HHBB", first, last, time, repeat)
    header[3024:3032] = bytes.fromhex("7766554433221100")
    if damage is not None:
        header[damage] ^= 0xFF
    n = record_count if records is None else records
    length = led_data_length(leds, lines)
    body = b"".join(bytes([(r * 5 + k) & 0xFF for k in range(length)]) for r in range(n))
    return bytes([leds - 1, lines - 1]) + bytes(header) + body


def effect_corpus():
    t = "fuzz_effect_reader"
    put(t, "slotted_3_pictures_clip_2", slotted(1, 1, 3, [2, 0, 1, 0, 0], [3, 0, 2, 0, 0]))
    put(t, "slotted_60_pictures", slotted(2, 2, 60, [0, 0, 0, 0, 0], [0] * 5))
    put(t, "slotted_only_clips", slotted(1, 2, 0, [1, 2, 3, 4, 5], [1, 2, 3, 4, 5]))
    put(t, "slotted_cut_in_slots", slotted(1, 1, 5, [2, 0, 0, 0, 0], [1] * 5, slots=2))
    put(t, "slotted_frames_missing", slotted(1, 1, 0, [4, 2, 0, 0, 0], [1] * 5,
                                             frame_records=3, extra=b"\x5a" * 2))
    put(t, "slotted_header_only", slotted(3, 4, 5, [2, 0, 0, 0, 0], [1] * 5, slots=0))
    put(t, "too_short", bytes([0, 0]) + bytes(119))
    put(t, "indexed_2_pictures_clip_2",
        indexed(1, 1, [(1, 1, 50, 1), (2, 2, 2, 3), (3, 4, 1, 2)]))
    put(t, "indexed_empty", indexed(2, 3, []))
    put(t, "indexed_gap_in_table", indexed(1, 1, [(1, 1, 50, 1), (3, 3, 2, 1)]))
    put(t, "indexed_no_segment_records", indexed(1, 1, [(1, 1, 20, 1)], record_count=2))
    put(t, "indexed_end_magic_damaged", indexed(1, 1, [(1, 1, 20, 1)], damage=3027))
    put(t, "indexed_length_wrong", indexed(1, 1, [(1, 2, 1, 1)], records=1))


# GIFs: one byte (bit 0: keep the GIF's speed), then the file. Pixels are coded as LZW
# with a clear code before every two, so no code grows past three bits.
def lzw_pixels(pixels):
    codes = []
    for i in range(0, len(pixels), 2):
        codes.append(4)
        codes.extend(pixels[i:i + 2])
    codes.append(5)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += 3
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    blocks = bytearray([2])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\0")


def gif(width, height, frames, trailer=True, loop=True):
    """frames: (delay in hundredths, disposal, transparent index or -1, (x, y, w, h), colour)."""
    data = bytearray(b"GIF89a") + struct.pack("<HHBBB", width, height, 0x91, 0, 0)
    data += bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255])
    if loop:
        data += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for delay, disposal, transparent, (x, y, w, h), colour in frames:
        flags = (disposal << 2) | (1 if transparent >= 0 else 0)
        data += b"\x21\xf9\x04" + struct.pack("<BHB", flags, delay, max(transparent, 0)) + b"\0"
        data += b"\x2c" + struct.pack("<HHHHB", x, y, w, h, 0)
        data += lzw_pixels([colour if (i + colour) % 5 else 0 for i in range(w * h)])
    if trailer:
        data += b"\x3b"
    return bytes(data)


def gif_corpus():
    t = "fuzz_gif"
    whole = (0, 0, 8, 8)
    two = [(10, 1, -1, whole, 1), (5, 1, -1, whole, 2)]
    put(t, "two_frames", b"\0" + gif(8, 8, two))
    put(t, "two_frames_at_speed", b"\1" + gif(8, 8, two))
    put(t, "disposal_and_transparency", b"\1" + gif(8, 8, [
        (0, 2, 0, whole, 1), (1, 3, 3, (2, 2, 4, 4), 3), (33, 1, -1, (0, 4, 8, 4), 2)]))
    put(t, "single_frame_no_loop", b"\0" + gif(4, 4, [(0, 0, -1, (0, 0, 4, 4), 1)], loop=False))
    put(t, "no_trailer", b"\0" + gif(8, 8, two, trailer=False))
    cut = gif(8, 8, two)
    put(t, "cut_in_second_frame", b"\0" + cut[:len(cut) - 12])
    put(t, "frame_beyond_canvas", b"\1" + gif(4, 4, [(7, 0, -1, (2, 2, 6, 6), 2)]))
    put(t, "not_a_gif", b"\0" + b"GIF87a" + bytes(7))


# Command-line options of the build command, separated by zero bytes.
def cli_corpus():
    t = "fuzz_cli_options"
    for name, args in {
        "per_file_times": ["-o", "x.bin", "--time", "1.5", "a.png", "--time", "0.5", "b.png"],
        "files_first": ["a.png", "g.gif", "-o", "x.bin", "--time", "2", "--loops", "3"],
        "geometry": ["--leds", "36", "--lines", "360", "-o", "x.bin", "a.png"],
        "video_extremes": ["--start", "1e300", "--length", "1e300", "--zoom", "-9", "--at",
                           "2147483647,2147483647", "v.mp4", "-o", "o.bin"],
        "gif_options": ["--loops", "0", "g.gif", "--gif-timing", "--smooth", "--lang", "jp",
                        "-o", "o.bin"],
        "double_dash": ["--", "-o", "--time", "x"],
        "unknown_option": ["--bogus", "-o"],
    }.items():
        put(t, name, "\0".join(args).encode())


# Reproducers of faults found in these parsers, replayed by every test run.
def regression():
    r = "regression"
    # A 4 KB slotted file read at 1 x 1 claims more than a thousand frames per clip.
    claims = bytearray(120)
    claims[7:12] = bytes([255] * 5)
    claims[19] = 255
    put("fuzz_effect_reader", "slotted_4k_at_1x1", bytes([0, 0]) + bytes(claims) + bytes(4000), r)
    # Any 120 bytes parse as a slotted header.
    put("fuzz_effect_reader", "random_bytes_of_header_length",
        bytes([7, 15]) + bytes((i * 151 + 7) & 0xFF for i in range(120)), r)
    # A 35-byte GIF claiming a 14000 x 14000 canvas and frame.
    huge = bytearray(b"GIF89a") + struct.pack("<HHBBB", 14000, 14000, 0x80, 0, 0)
    huge += bytes([0, 0, 0, 255, 255, 255]) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 14000, 14000, 0)
    huge += bytes([2, 2, 0x4c, 0x01, 0]) + b"\x3b"
    put("fuzz_gif", "huge_canvas", b"\0" + bytes(huge), r)
    two = [(10, 1, -1, (0, 0, 8, 8), 1), (5, 1, -1, (0, 0, 8, 8), 2)]
    whole = gif(8, 8, two)
    put("fuzz_gif", "cut_inside_second_frame", b"\0" + whole[:len(whole) - 12], r)
    put("fuzz_gif", "two_frames_without_trailer", b"\1" + gif(8, 8, two, trailer=False), r)
    for name, args in {
        "at_int_max": ["--at", "2147483647,2147483647", "v.mp4", "-o", "o.bin"],
        "at_int_min": ["--at", "-2147483648,-2147483648", "v.mp4", "-o", "o.bin"],
        "start_1e300": ["--start", "1e300", "v.mp4", "-o", "o.bin"],
        "length_1e300": ["--length", "1e300", "v.mp4", "-o", "o.bin"],
        "time_0_1": ["--time", "0.1", "a.png", "-o", "o.bin"],
    }.items():
        put("fuzz_cli_options", name, "\0".join(args).encode(), r)


if __name__ == "__main__":
    effect_corpus()
    gif_corpus()
    cli_corpus()
    regression()
