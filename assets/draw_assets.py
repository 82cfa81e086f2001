#!/usr/bin/python3
"""Draws Quillmere's pictures and hand cursor, each once at its size and once at
twice it (the "@2x" files, for screens at a scale factor of 2), and the desktop icon: PNG at
16, 32, 48 and 256 pixels and a scalable SVG, all from one design. The demo banner is made by
tools/make_demo_banner.

The outputs are committed next to this script; run it again only to change them:
    /usr/bin/python3 assets/draw_assets.py       (needs Debian's python3-pil and fonts-dejavu-core)
"""
import math
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

HERE = Path(__file__).resolve().parent
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

GREEN = (24, 160, 48)
DARK_GREEN = (10, 100, 30)
GOLD = (235, 180, 20)
WHITE = (255, 255, 255)


def supersampled(size, draw, background=WHITE, scale=1, factor=4):
    """Draws at `factor` times `scale` times the size and scales down to `scale` times it, for
    smooth edges. `draw` gets the drawing and the number of its pixels to a design pixel."""
    w, h = size
    k = factor * scale
    big = Image.new("RGB", (w * k, h * k), background)
    draw(ImageDraw.Draw(big), k)
    return big.resize((w * scale, h * scale), Image.LANCZOS)


def centred_text(d, box, text, font, fill):
    left, top, right, bottom = d.textbbox((0, 0), text, font=font)
    x = box[0] + (box[2] - (right - left)) / 2 - left
    y = box[1] + (box[3] - (bottom - top)) / 2 - top
    d.text((x, y), text, font=font, fill=fill)


def title_strip(scale=1):
    def draw(d, k):
        font = ImageFont.truetype(BOLD, 38 * k)
        centred_text(d, (0, 0, 624 * k, 57 * k), "Quillmere", font, (40, 210, 60))
    return supersampled((624, 57), draw, background=(0, 0, 0), scale=scale)


def star(cx, cy, outer, inner):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = -math.pi / 2 + i * math.pi / 5
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def stars(scale=1):
    def draw(d, k):
        for i in range(5):
            d.polygon(star((9.5 + i * 18.5) * k, 12 * k, 9 * k, 3.8 * k), fill=GOLD, outline=(160, 110, 0))
    return supersampled((93, 24), draw, scale=scale)


def arrow_head(d, cx, cy, r, angle, k, fill):
    """A triangular head on a circle of radius r, pointing along the clockwise tangent."""
    tip = (cx + r * math.cos(angle + 0.35), cy + r * math.sin(angle + 0.35))
    a = (cx + (r - 7 * k) * math.cos(angle), cy + (r - 7 * k) * math.sin(angle))
    b = (cx + (r + 7 * k) * math.cos(angle), cy + (r + 7 * k) * math.sin(angle))
    d.polygon([tip, a, b], fill=fill)


def reload(scale=1):
    def draw(d, k):
        cx, cy, r = 27.5 * k, 25.5 * k, 17 * k
        box = (cx - r, cy - r, cx + r, cy + r)
        for start in (0, 180):
            d.arc(box, start + 15, start + 140, fill=GREEN, width=5 * k)
            arrow_head(d, cx, cy, r, math.radians(start + 140), k, GREEN)
    return supersampled((55, 51), draw, scale=scale)


def add_site(scale=1):
    def draw(d, k):
        d.ellipse((1 * k, 0, 42 * k, 41 * k), fill=GREEN, outline=DARK_GREEN, width=2 * k)
        d.rectangle((19 * k, 9 * k, 24 * k, 32 * k), fill=WHITE)
        d.rectangle((10 * k, 18 * k, 33 * k, 23 * k), fill=WHITE)
    return supersampled((43, 41), draw, scale=scale)


def navigate(scale=1):
    def draw(d, k):
        d.ellipse((2 * k, 0, 47 * k, 44 * k), fill=GREEN, outline=DARK_GREEN, width=2 * k)
        centred_text(d, (2 * k, 0, 45 * k, 44 * k), "GO", ImageFont.truetype(BOLD, 17 * k), WHITE)
    return supersampled((49, 44), draw, scale=scale)


def exit_door(scale=1):
    def draw(d, k):
        d.rectangle((20 * k, 4 * k, 44 * k, 47 * k), fill=(120, 72, 30), outline=(70, 40, 10), width=2 * k)
        d.polygon([(20 * k, 4 * k), (32 * k, 9 * k), (32 * k, 47 * k), (20 * k, 47 * k)], fill=(40, 20, 5))
        d.rectangle((3 * k, 22 * k, 20 * k, 29 * k), fill=GREEN)
        d.polygon([(18 * k, 16 * k), (30 * k, 25.5 * k), (18 * k, 35 * k)], fill=GREEN)
    return supersampled((50, 50), draw, scale=scale)


def copy_sheets(scale=1):
    def draw(d, k):
        for x, y in ((6, 3), (18, 11)):
            d.rectangle((x * k, y * k, (x + 24) * k, (y + 28) * k), fill=WHITE, outline=(60, 60, 60), width=2 * k)
            for line in range(4):
                ly = (y + 7 + line * 5) * k
                d.line(((x + 5) * k, ly, (x + 19) * k, ly), fill=(150, 150, 150), width=k)
    return supersampled((48, 42), draw, scale=scale)


# The desktop icon, a gold satellite dish on transparency, in a square of side 1: each part a
# (kind, geometry, fill, outline) for both the pictures and the SVG.
DISH = [
    ("polygon", [(0.42, 0.62), (0.58, 0.62), (0.72, 0.97), (0.28, 0.97)], (120, 90, 20), None),
    ("pieslice", ((0.02, -0.35, 0.98, 0.75), 20, 160), GOLD, (150, 100, 0)),
    ("line", ((0.5, 0.72), (0.5, 0.3), 1 / 16), (90, 60, 10), None),
    ("ellipse", (0.43, 0.22, 0.57, 0.36), (200, 40, 20), None),
]


def dish(size):
    """The icon as a picture of `size` pixels."""
    k = 8
    s = size * k
    big = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    for kind, shape, fill, outline in DISH:
        colour = fill + (255,)
        edge = outline + (255,) if outline else None
        if kind == "polygon":
            d.polygon([(x * s, y * s) for x, y in shape], fill=colour)
        elif kind == "pieslice":
            box, start, end = shape
            d.pieslice([v * s for v in box], start, end, fill=colour, outline=edge)
        elif kind == "line":
            (x0, y0), (x1, y1), width = shape
            d.line((x0 * s, y0 * s, x1 * s, y1 * s), fill=colour, width=max(k, int(s * width)))
        else:
            d.ellipse([v * s for v in shape], fill=colour)
    return big.resize((size, size), Image.LANCZOS)


def dish_svg(side=256):
    """The same design as a scalable picture."""
    hex_colour = lambda c: "#%02x%02x%02x" % c
    parts = []
    for kind, shape, fill, outline in DISH:
        if kind == "polygon":
            points = " ".join(f"{x * side:g},{y * side:g}" for x, y in shape)
            parts.append(f'<polygon points="{points}" fill="{hex_colour(fill)}"/>')
        elif kind == "pieslice":
            (x0, y0, x1, y1), start, end = shape
            cx, cy, rx, ry = (x0 + x1) / 2 * side, (y0 + y1) / 2 * side, (x1 - x0) / 2 * side, (y1 - y0) / 2 * side
            point = lambda a: (cx + rx * math.cos(math.radians(a)), cy + ry * math.sin(math.radians(a)))
            (sx, sy), (ex, ey) = point(start), point(end)
            parts.append(f'<path d="M{cx:g},{cy:g} L{sx:.2f},{sy:.2f} A{rx:g},{ry:g} 0 0 1 {ex:.2f},{ey:.2f} Z" '
                         f'fill="{hex_colour(fill)}" stroke="{hex_colour(outline)}" stroke-width="{side / 256:g}"/>')
        elif kind == "line":
            (x0, y0), (x1, y1), width = shape
            parts.append(f'<line x1="{x0 * side:g}" y1="{y0 * side:g}" x2="{x1 * side:g}" y2="{y1 * side:g}" '
                         f'stroke="{hex_colour(fill)}" stroke-width="{width * side:g}"/>')
        else:
            x0, y0, x1, y1 = shape
            parts.append(f'<ellipse cx="{(x0 + x1) / 2 * side:g}" cy="{(y0 + y1) / 2 * side:g}" '
                         f'rx="{(x1 - x0) / 2 * side:g}" ry="{(y1 - y0) / 2 * side:g}" fill="{hex_colour(fill)}"/>')
    body = "\n  ".join(parts)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{side}" height="{side}" viewBox="0 0 {side} {side}">\n'
            f'  <clipPath id="square"><rect width="{side}" height="{side}"/></clipPath>\n'
            f'  <g clip-path="url(#square)">\n  {body}\n  </g>\n</svg>\n')


def hand(scale=1):
    """A white hand with a pointing index finger whose tip is at (12, 1) of its 32 x 32 pixels."""
    size = 32 * scale
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
        d.rounded_rectangle([v * scale for v in box], radius=2 * scale, fill=white, outline=black, width=scale)
    for box in shapes:  # clear the seams inside the outline
        inner = (box[0] * scale + scale, box[1] * scale + scale, box[2] * scale - scale, box[3] * scale - scale)
        d.rounded_rectangle(inner, radius=scale, fill=white)
    return img


def main():
    # PNG throughout: the one format Qt reads without loading a plugin at start-up.
    for scale, suffix in ((1, ""), (2, "@2x")):
        title_strip(scale).save(HERE / f"title_strip{suffix}.png")
        stars(scale).save(HERE / f"stars{suffix}.png")
        reload(scale).save(HERE / f"reload{suffix}.png")
        add_site(scale).save(HERE / f"add_site{suffix}.png")
        navigate(scale).save(HERE / f"navigate{suffix}.png")
        exit_door(scale).save(HERE / f"exit{suffix}.png")
        copy_sheets(scale).save(HERE / f"copy{suffix}.png")
        hand(scale).save(HERE / f"hand{suffix}.png")
    (HERE / "icons").mkdir(exist_ok=True)
    for size in (16, 32, 48, 64, 96, 256):
        dish(size).save(HERE / "icons" / f"quillmere-{size}.png")
    (HERE / "icons" / "quillmere.svg").write_text(dish_svg())


if __name__ == "__main__":
    main()
