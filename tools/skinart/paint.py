"""Small raster toolkit for the skin generator.

Images are float32 arrays (H, W, 3) in 0..1, opaque; shapes are coverage
masks (H, W) in 0..1 drawn by Pillow at SS times the size and box-filtered
down, so every edge is anti-aliased the same way on every run. Nothing here
reads the clock or an unseeded random source: the same inputs give the same
bytes.
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFont

SS = 4  # supersampling factor of shape masks
FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FONT_SERIF = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
MAGENTA = np.array([1.0, 0.0, 1.0], np.float32)

_font_cache = {}


def font(path, size):
    key = (path, size)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(path, size)
    return _font_cache[key]


def hexc(s):
    s = s.lstrip("#")
    return np.array([int(s[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)


def solid(w, h, color):
    return np.broadcast_to(hexc(color) if isinstance(color, str) else color,
                           (h, w, 3)).astype(np.float32).copy()


def ramp(stops, t):
    """Colour at positions t (array, 0..1) along [(pos, '#rrggbb'), ...]."""
    t = np.clip(np.asarray(t, np.float32), 0.0, 1.0)
    pos = np.array([p for p, _ in stops], np.float32)
    cols = np.stack([hexc(c) for _, c in stops])
    out = np.empty(t.shape + (3,), np.float32)
    for ch in range(3):
        out[..., ch] = np.interp(t, pos, cols[:, ch])
    return out


def vgrad(w, h, stops, y0=0.0, y1=None):
    """A vertical gradient image; y0..y1 maps to 0..1 of the stops."""
    y1 = h if y1 is None else y1
    t = (np.arange(h, dtype=np.float32) + 0.5 - y0) / max(1e-6, (y1 - y0))
    col = ramp(stops, t)  # (h, 3)
    return np.broadcast_to(col[:, None, :], (h, w, 3)).copy()


def hgrad(w, h, stops, x0=0.0, x1=None):
    x1 = w if x1 is None else x1
    t = (np.arange(w, dtype=np.float32) + 0.5 - x0) / max(1e-6, (x1 - x0))
    col = ramp(stops, t)
    return np.broadcast_to(col[None, :, :], (h, w, 3)).copy()


def paint(img, cov, color, alpha=1.0):
    """Blends color (hex, (3,) or (H,W,3)) into img where cov says."""
    if isinstance(color, str):
        color = hexc(color)
    a = (np.clip(cov, 0, 1) * alpha)[..., None]
    img[...] = img * (1.0 - a) + np.asarray(color, np.float32) * a


def add_light(img, cov, color, amount=1.0):
    """Additive light (glows, highlights), clipped at white."""
    if isinstance(color, str):
        color = hexc(color)
    img[...] = np.clip(img + np.clip(cov, 0, None)[..., None] * np.asarray(color) * amount, 0, 1)


def _mask(w, h, draw):
    im = Image.new("L", (w * SS, h * SS), 0)
    draw(ImageDraw.Draw(im))
    return np.asarray(im.resize((w, h), Image.BOX), np.float32) / 255.0


def _box(b):
    x0, y0, x1, y1 = b
    return [round(x0 * SS), round(y0 * SS), round(x1 * SS) - 1, round(y1 * SS) - 1]


def rrect(w, h, box, r=0.0):
    if r <= 0:
        return _mask(w, h, lambda d: d.rectangle(_box(box), fill=255))
    return _mask(w, h, lambda d: d.rounded_rectangle(_box(box), radius=round(r * SS), fill=255))


def ellipse(w, h, box):
    return _mask(w, h, lambda d: d.ellipse(_box(box), fill=255))


def circle(w, h, cx, cy, r):
    return ellipse(w, h, (cx - r, cy - r, cx + r, cy + r))


def poly(w, h, pts):
    return _mask(w, h, lambda d: d.polygon([(x * SS, y * SS) for x, y in pts], fill=255))


def line(w, h, pts, width):
    def draw(d):
        sp = [(x * SS, y * SS) for x, y in pts]
        d.line(sp, fill=255, width=round(width * SS), joint="curve")
        r = width * SS / 2
        for x, y in (sp[0], sp[-1]):
            d.ellipse([x - r, y - r, x + r, y + r], fill=255)
    return _mask(w, h, draw)


def arc(w, h, box, start, end, width):
    return _mask(w, h, lambda d: d.arc(_box(box), start, end, fill=255, width=round(width * SS)))


def ring(w, h, box, r, width):
    x0, y0, x1, y1 = box
    inner = (x0 + width, y0 + width, x1 - width, y1 - width)
    return np.clip(rrect(w, h, box, r) - rrect(w, h, inner, max(0.0, r - width)), 0, 1)


def blur(mask, radius):
    if radius <= 0:
        return mask
    # Separable Gaussian in float (Pillow blurs 8-bit images only).
    k = int(math.ceil(radius * 3))
    xs = np.arange(-k, k + 1, dtype=np.float32)
    ker = np.exp(-(xs * xs) / (2 * radius * radius))
    ker /= ker.sum()
    m = np.pad(mask.astype(np.float32), k, mode="constant")
    m = np.apply_along_axis(lambda r: np.convolve(r, ker, mode="same"), 1, m)
    m = np.apply_along_axis(lambda c: np.convolve(c, ker, mode="same"), 0, m)
    return m[k:-k, k:-k].astype(np.float32)


def shift(mask, dx, dy):
    out = np.zeros_like(mask)
    h, w = mask.shape
    xs0, xs1 = max(0, -dx), min(w, w - dx)
    ys0, ys1 = max(0, -dy), min(h, h - dy)
    out[ys0 + dy:ys1 + dy, xs0 + dx:xs1 + dx] = mask[ys0:ys1, xs0:xs1]
    return out


def text_size(text, fnt, spacing=0):
    if spacing == 0:
        l, t, r, b = fnt.getbbox(text)
        return r - l, b - t
    widths = [fnt.getlength(ch) for ch in text]
    l, t, r, b = fnt.getbbox(text)
    return sum(widths) + spacing * (len(text) - 1), b - t


def text(w, h, s, fnt, x, y, anchor="ls", spacing=0, supersample=False):
    """Coverage of a text run. Small text is rendered at 1x with the font's
    hinting (crisper); large display text may be supersampled."""
    scale = SS if supersample else 1
    im = Image.new("L", (w * scale, h * scale), 0)
    d = ImageDraw.Draw(im)
    f = fnt if scale == 1 else ImageFont.truetype(fnt.path, fnt.size * scale)
    if spacing == 0:
        d.text((x * scale, y * scale), s, font=f, fill=255, anchor=anchor)
    else:
        total = sum(f.getlength(ch) for ch in s) + spacing * scale * (len(s) - 1)
        cx = x * scale
        if anchor[0] == "m":
            cx -= total / 2
        elif anchor[0] == "r":
            cx -= total
        for ch in s:
            d.text((cx, y * scale), ch, font=f, fill=255, anchor="l" + anchor[1])
            cx += f.getlength(ch) + spacing * scale
    if scale != 1:
        im = im.resize((w, h), Image.BOX)
    return np.asarray(im, np.float32) / 255.0


def bevel(img, cov, radius=1.5, light=0.35, shadow=0.35, angle=(-0.7, -0.7)):
    """Lights a shape as if raised: its upper-left slopes brighten, its
    lower-right slopes darken, within the shape only."""
    g = blur(cov, radius)
    gy, gx = np.gradient(g)
    lx, ly = angle
    s = -(gx * lx + gy * ly) * (radius * 2.0)
    s = np.clip(s, -1, 1) * cov
    up = np.clip(s, 0, None)[..., None]
    down = np.clip(-s, 0, None)[..., None]
    img[...] = np.clip(img + up * light - down * shadow * img, 0, 1)


def noise(w, h, seed, scale=8.0, octaves=3):
    """Fractal value noise in -1..1 from a fixed seed."""
    rng = np.random.RandomState(seed)
    out = np.zeros((h, w), np.float32)
    amp, total = 1.0, 0.0
    for o in range(octaves):
        s = max(1.0, scale / (2 ** o))
        gw, gh = int(w / s) + 2, int(h / s) + 2
        grid = rng.rand(gh, gw).astype(np.float32)
        im = Image.fromarray(grid, mode="F").resize((int(gw * s), int(gh * s)), Image.BICUBIC)
        out += np.asarray(im, np.float32)[:h, :w] * amp
        total += amp
        amp *= 0.5
    out /= total
    return (out - 0.5) * 2.0


def grain(img, seed, amount=0.02):
    rng = np.random.RandomState(seed)
    n = rng.rand(img.shape[0], img.shape[1]).astype(np.float32) - 0.5
    img[...] = np.clip(img + n[..., None] * amount, 0, 1)


def key_out(img, cov, threshold=0.5):
    """Where a masked (0xffff00ff) image is transparent: magenta, with hard
    edges. Anti-aliased edges are pre-blended by the caller against the
    colour the image sits on, so no pink fringe survives the colour key."""
    out = img.copy()
    out[cov < threshold] = MAGENTA
    # A pixel that rounds to pure magenta inside the shape would vanish too.
    q = to_u8(out)
    inside = cov >= threshold
    hit = inside & (q[..., 0] == 255) & (q[..., 1] == 0) & (q[..., 2] == 255)
    out[hit, 1] = 1.0 / 255.0
    return out


def to_u8(img):
    return (np.clip(img, 0, 1) * 255.0 + 0.5).astype(np.uint8)


def save_png(img, path):
    """RGB PNG without any text or time chunk."""
    Image.fromarray(to_u8(img), mode="RGB").save(path, format="PNG", optimize=True)
