#!/usr/bin/python3
"""Draws Quillmere's pictures, window icon and hand cursor (the demo banner is made by
tools/make_demo_banner).

The outputs are committed next to this script; run it again only to change them:
    /usr/bin/python3 assets/draw_assets.py       (needs Debian's python3-pil and fonts-dejavu-core)
"""
import math
import struct
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

HERE = Path(__file__).resolve().parent
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

GREEN = (24, 160, 48)
DARK_GREEN = (10, 100, 30)
GOLD = (235, 180, 20)
WHITE = (255, 255, 255)


def supersampled(size, draw, background=WHITE, factor=4):
    """Draws at `factor` times the size and scales down, for smooth edges."""
    w, h = size
    big = Image.new("RGB", (w * factor, h * factor), background)
    draw(ImageDraw.Draw(big), factor)
    return big.resize(size, Image.LANCZOS)


def centred_text(d, box, text, font, fill):
    left, top, right, bottom = d.textbbox((0, 0), text, font=font)
    x = box[0] + (box[2] - (right - left)) / 2 - left
    y = box[1] + (box[3] - (bottom - top)) / 2 - top
    d.text((x, y), text, font=font, fill=fill)


def title_strip():
    def draw(d, k):
        font = ImageFont.truetype(BOLD, 38 * k)
        centred_text(d, (0, 0, 624 * k, 57 * k), "Quillmere", font, (40, 210, 60))
    return supersampled((624, 57), draw, background=(0, 0, 0))


def star(cx, cy, outer, inner):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = -math.pi / 2 + i * math.pi / 5
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def stars():
    def draw(d, k):
        for i in range(5):
            d.polygon(star((9.5 + i * 18.5) * k, 12 * k, 9 * k, 3.8 * k), fill=GOLD, outline=(160, 110, 0))
    return supersampled((93, 24), draw)


def arrow_head(d, cx, cy, r, angle, k, fill):
    """A triangular head on a circle of radius r, pointing along the clockwise tangent."""
    tip = (cx + r * math.cos(angle + 0.35), cy + r * math.sin(angle + 0.35))
    a = (cx + (r - 7 * k) * math.cos(angle), cy + (r - 7 * k) * math.sin(angle))
    b = (cx + (r + 7 * k) * math.cos(angle), cy + (r + 7 * k) * math.sin(angle))
    d.polygon([tip, a, b], fill=fill)


def reload():
    def draw(d, k):
        cx, cy, r = 27.5 * k, 25.5 * k, 17 * k
        box = (cx - r, cy - r, cx + r, cy + r)
        for start in (0, 180):
            d.arc(box, start + 15, start + 140, fill=GREEN, width=5 * k)
            arrow_head(d, cx, cy, r, math.radians(start + 140), k, GREEN)
    return supersampled((55, 51), draw)


def add_site():
    def draw(d, k):
        d.ellipse((1 * k, 0, 42 * k, 41 * k), fill=GREEN, outline=DARK_GREEN, width=2 * k)
        d.rectangle((19 * k, 9 * k, 24 * k, 32 * k), fill=WHITE)
        d.rectangle((10 * k, 18 * k, 33 * k, 23 * k), fill=WHITE)
    return supersampled((43, 41), draw)


def navigate():
    def draw(d, k):
        d.ellipse((2 * k, 0, 47 * k, 44 * k), fill=GREEN, outline=DARK_GREEN, width=2 * k)
        centred_text(d, (2 * k, 0, 45 * k, 44 * k), "GO", ImageFont.truetype(BOLD, 17 * k), WHITE)
    return supersampled((49, 44), draw)


def exit_door():
    def draw(d, k):
        d.rectangle((20 * k, 4 * k, 44 * k, 47 * k), fill=(120, 72, 30), outline=(70, 40, 10), width=2 * k)
        d.polygon([(20 * k, 4 * k), (32 * k, 9 * k), (32 * k, 47 * k), (20 * k, 47 * k)], fill=(40, 20, 5))
        d.rectangle((3 * k, 22 * k, 20 * k, 29 * k), fill=GREEN)
        d.polygon([(18 * k, 16 * k), (30 * k, 25.5 * k), (18 * k, 35 * k)], fill=GREEN)
    return supersampled((50, 50), draw)


def copy_sheets():
    def draw(d, k):
        for x, y in ((6, 3), (18, 11)):
            d.rectangle((x * k, y * k, (x + 24) * k, (y + 28) * k), fill=WHITE, outline=(60, 60, 60), width=2 * k)
            for line in range(4):
                ly = (y + 7 + line * 5) * k
                d.line(((x + 5) * k, ly, (x + 19) * k, ly), fill=(150, 150, 150), width=k)
    return supersampled((48, 42), draw)


def dish(size):
    """The window icon: a gold satellite dish, on transparency."""
    k = 8
    s = size * k
    big = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    d.polygon([(0.42 * s, 0.62 * s), (0.58 * s, 0.62 * s), (0.72 * s, 0.97 * s), (0.28 * s, 0.97 * s)],
              fill=(120, 90, 20, 255))
    d.pieslice((0.02 * s, -0.35 * s, 0.98 * s, 0.75 * s), 20, 160, fill=GOLD + (255,), outline=(150, 100, 0, 255))
    d.line((0.5 * s, 0.72 * s, 0.5 * s, 0.3 * s), fill=(90, 60, 10, 255), width=max(k, s // 16))
    d.ellipse((0.43 * s, 0.22 * s, 0.57 * s, 0.36 * s), fill=(200, 40, 20, 255))
    return big.resize((size, size), Image.LANCZOS)


def hand(size=32):
    """A white hand with a pointing index finger whose tip is at (12, 1)."""
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    black, white = (0, 0, 0, 255), (255, 255, 255, 255)
    shapes = [
        (10, 1, 14, 17),   # index finger
        (14, 9, 18, 18),   # middle finger
        (18, 10, 22, 19),  # ring finger
        (22, 12, 25, 20),  # little finger
        (5, 14, 10, 21),   # thumb
        (8, 16, 25, 29),   # palm
    ]
    for box in shapes:
        d.rounded_rectangle(box, radius=2, fill=white, outline=black)
    for box in shapes:  # clear the seams inside the outline
        d.rounded_rectangle((box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1), radius=1, fill=white)
    return img


def bmp_entry(rgba, colours):
    """One image of an .ico or .cur file: a bottom-up palette bitmap plus its 1-bit AND mask."""
    w, h = rgba.size
    bits = 8 if colours == 256 else 4
    alpha = rgba.getchannel("A")
    flat = Image.new("RGB", rgba.size, (0, 0, 0))
    flat.paste(rgba, mask=alpha)
    pal_img = flat.quantize(colors=colours, method=Image.MEDIANCUT)
    palette = (pal_img.getpalette() or [])[: colours * 3]
    palette += [0] * (colours * 3 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bits, 0, 0, 0, 0, colours, 0)
    table = b"".join(bytes((palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0)) for i in range(colours))
    pixels = pal_img.load()
    xor = bytearray()
    row_bytes = ((w * bits + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row = bytearray()
        if bits == 8:
            row += bytes(pixels[x, y] for x in range(w))
        else:
            for x in range(0, w, 2):
                row.append((pixels[x, y] << 4) | (pixels[x + 1, y] if x + 1 < w else 0))
        xor += row + b"\0" * (row_bytes - len(row))
    mask = bytearray()
    mask_row = ((w + 31) // 32) * 4
    a = alpha.load()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(w):
            if a[x, y] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + table + bytes(xor) + bytes(mask), bits


def write_icon_file(path, entries, kind, hotspot=(0, 0)):
    """entries: (rgba image, colour count) pairs. kind 1 is an icon, 2 a cursor."""
    blobs = [(img.size, colours, *bmp_entry(img, colours)) for img, colours in entries]
    out = bytearray(struct.pack("<HHH", 0, kind, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for (w, h), colours, data, bits in blobs:
        planes, bitcount = (1, bits) if kind == 1 else hotspot
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours % 256, 0, planes, bitcount, len(data), offset)
        offset += len(data)
    for _, _, data, _ in blobs:
        out += data
    path.write_bytes(bytes(out))


def main():
    title_strip().save(HERE / "title_strip.jpg", quality=92)
    stars().convert("P", palette=Image.ADAPTIVE).save(HERE / "stars.gif")
    reload().save(HERE / "reload.jpg", quality=92)
    add_site().convert("P", palette=Image.ADAPTIVE).save(HERE / "add_site.gif")
    navigate().save(HERE / "navigate.jpg", quality=92)
    exit_door().save(HERE / "exit.jpg", quality=92)
    copy_sheets().save(HERE / "copy.jpg", quality=92)
    icons = [(dish(size), colours) for size in (16, 32, 48) for colours in (256, 16)]
    write_icon_file(HERE / "quillmere.ico", icons, kind=1)
    write_icon_file(HERE / "hand.cur", [(hand(), 16)], kind=2, hotspot=(12, 1))


if __name__ == "__main__":
    main()
