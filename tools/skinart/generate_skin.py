#!/usr/bin/python3
"""Draws every PNG of the launcher's skin into a folder.

    generate_skin.py OUTDIR

The look: night-blue lacquer and dark steel framed in worn gold, the game's
crest (a shield with a T over crossed blades) wherever a window introduces
itself. Each image is drawn for the exact place its layout gives it: the
title-bar pieces share one vertical profile so the stretched middle meets
both ends without a seam; images keyed with mask 0xffff00ff carry magenta
where the window shows through and hard edges pre-blended on the colour
beneath them; images without a mask are opaque tiles that match what
surrounds them. Runs are reproducible: fixed seeds, no timestamps.
"""

import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import paint as P  # noqa: E402

# The sizes the layouts rely on; the skin test checks the same table.
SIZES = {
    "bosskey_bg.png": (349, 167), "bosskey_checked.png": (15, 15),
    "bosskey_close.png": (28, 28), "bosskey_ok.png": (70, 26),
    "bosskey_unchecked.png": (15, 15), "changeserver_bg.png": (320, 66),
    "changeserver_selectlist.png": (142, 19), "changeserver_userhead.png": (20, 20),
    "game_bbs.png": (67, 28), "game_bosskey.png": (67, 28),
    "game_changeserver.png": (22, 22), "game_close.png": (28, 24),
    "game_hide.png": (28, 24), "game_max.png": (28, 24), "game_min.png": (28, 24),
    "game_refresh.png": (67, 28), "game_restore.png": (28, 24), "game_top.png": (28, 58),
    "game_topleft.png": (336, 58), "game_topright.png": (406, 58),
    "game_userhead.png": (80, 20), "game_website.png": (67, 28),
    "loading_bg.png": (590, 116), "main_bg.png": (1228, 700),
    "main_close_1.png": (35, 35), "main_close_2.png": (35, 35), "main_close_3.png": (35, 35),
    "reggamedll_bg.png": (344, 264), "reggamedll_close.png": (28, 28),
    "reggamedll_install.png": (144, 34), "update_bg.png": (590, 116),
    "update_close_hover.png": (28, 28), "update_close_normal.png": (28, 28),
    "update_close_press.png": (28, 28), "update_progress.png": (366, 18),
}

# Palette.
GOLD = [(0.0, "#fff4cf"), (0.18, "#f1d084"), (0.42, "#c0913d"), (0.55, "#8a6122"),
        (0.72, "#d7ad5a"), (1.0, "#6c4816")]
GOLD_DIM = [(0.0, "#d9bd7a"), (0.45, "#9a7434"), (0.6, "#6e4f1e"), (1.0, "#a8823f")]
PANEL = [(0.0, "#1d2535"), (1.0, "#0b0f17")]
STEEL = [(0.0, "#465068"), (0.12, "#2e3648"), (0.55, "#1c2230"), (1.0, "#121722")]
TEXT_GOLD = "#f3d99a"
TEXT_DIM = "#9aa3b5"
UNDER_TITLE = "#161b26"  # colour beneath keyed buttons on dialog bodies


# ----------------------------------------------------------------- pieces

def gold_ring(img, box, r, width, stops=GOLD):
    w, h = img.shape[1], img.shape[0]
    m = P.ring(w, h, box, r, width)
    P.paint(img, m, P.vgrad(w, h, stops, box[1], box[3]))
    P.bevel(img, m, radius=0.8, light=0.25, shadow=0.3)
    return m


def framed_panel(img, box, r, seed, gold_w=2.0, fill=PANEL, outline=True):
    """A dark lacquered panel inside a thin gold frame with a black edge on
    both sides of the gold."""
    w, h = img.shape[1], img.shape[0]
    x0, y0, x1, y1 = box
    if outline:
        P.paint(img, P.rrect(w, h, box, r), "#05070b")
        box = (x0 + 1, y0 + 1, x1 - 1, y1 - 1)
        r = max(0.0, r - 1)
    gold_ring(img, box, r, gold_w)
    inner = (box[0] + gold_w, box[1] + gold_w, box[2] - gold_w, box[3] - gold_w)
    ir = max(0.0, r - gold_w)
    P.paint(img, P.rrect(w, h, inner, ir), "#06080c")
    inner2 = (inner[0] + 1, inner[1] + 1, inner[2] - 1, inner[3] - 1)
    m = P.rrect(w, h, inner2, max(0.0, ir - 1))
    body = P.vgrad(w, h, fill, inner2[1], inner2[3])
    n = P.noise(w, h, seed, scale=6.0)
    body = np.clip(body * (1.0 + n[..., None] * 0.06), 0, 1)
    P.paint(img, m, body)
    return inner2


def shield_pts(cx, cy, s):
    """Outline of a heater shield of height s centred on (cx, cy)."""
    pts = [(-0.44, -0.46), (-0.15, -0.46), (0.0, -0.52), (0.15, -0.46), (0.44, -0.46)]
    for i in range(0, 11):
        a = i / 10.0
        x = 0.44 - 0.44 * a
        y = 0.02 + 0.5 * (1 - (1 - a) ** 2) * 1.0
        pts.append((x * (1 - 0.15 * a * a), y))
    right = pts[5:]
    left = [(-x, y) for x, y in reversed(right[:-1])]
    allp = pts + left
    return [(cx + x * s, cy + y * s) for x, y in allp]


def crest(img, cx, cy, s, seed=7, glow=True):
    """The game's crest: crossed blades behind a gold-rimmed enamel shield
    bearing a serif T."""
    w, h = img.shape[1], img.shape[0]
    if glow:
        g = P.blur(P.circle(w, h, cx, cy, s * 0.5), s * 0.25)
        P.add_light(img, g, "#3a5a9a", 0.45)
    # Blades: long thin diamonds crossed at the shield's heart.
    for sgn in (-1, 1):
        ang = math.radians(45 * sgn)
        dx, dy = math.sin(ang), -math.cos(ang)
        px, py = -dy, dx
        L, bw = s * 0.78, s * 0.055
        tip = (cx + dx * L, cy + dy * L)
        base = (cx - dx * L * 0.62, cy - dy * L * 0.62)
        blade = [tip, (cx + px * bw, cy + py * bw), base, (cx - px * bw, cy - py * bw)]
        m = P.poly(w, h, blade)
        P.paint(img, P.blur(m, 1.0), "#000000", 0.6)
        P.paint(img, m, P.vgrad(w, h, [(0, "#f2f5fa"), (0.5, "#9aa6ba"), (1, "#5b6478")],
                                cy - L, cy + L))
        P.bevel(img, m, radius=0.7, light=0.3, shadow=0.3)
        gx, gy = cx - dx * L * 0.42, cy - dy * L * 0.42
        guard = P.line(w, h, [(gx - px * s * 0.14, gy - py * s * 0.14),
                              (gx + px * s * 0.14, gy + py * s * 0.14)], max(1.5, s * 0.05))
        P.paint(img, guard, P.vgrad(w, h, GOLD, cy - s * 0.5, cy + s * 0.5))
        pom = P.circle(w, h, base[0], base[1], max(1.2, s * 0.045))
        P.paint(img, pom, "#e6c473")
    outer = shield_pts(cx, cy + s * 0.02, s * 0.8)
    m_out = P.poly(w, h, outer)
    P.paint(img, P.blur(m_out, max(1.0, s * 0.04)), "#000000", 0.7)
    P.paint(img, m_out, P.vgrad(w, h, GOLD, cy - s * 0.42, cy + s * 0.42))
    P.bevel(img, m_out, radius=max(0.8, s * 0.02), light=0.35, shadow=0.35)
    inner = shield_pts(cx, cy + s * 0.03, s * 0.64)
    m_in = P.poly(w, h, inner)
    enamel = P.vgrad(w, h, [(0, "#2f5aa6"), (0.55, "#173268"), (1, "#0b1834")],
                     cy - s * 0.32, cy + s * 0.36)
    P.paint(img, m_in, enamel)
    hl = P.poly(w, h, [(p[0], p[1]) for p in inner[:3]] + [(cx, cy - s * 0.02)])
    P.add_light(img, hl * m_in, "#6f8fd0", 0.18)
    # The T.
    fsize = max(8, int(s * 0.5))
    t = P.text(w, h, "T", P.font(P.FONT_SERIF, fsize), cx, cy + s * 0.05, anchor="mm",
               supersample=True)
    P.paint(img, P.blur(t, max(0.6, s * 0.02)), "#000000", 0.8)
    P.paint(img, t, P.vgrad(w, h, GOLD, cy - s * 0.2, cy + s * 0.3))
    # A small gem above the shield's notch.
    gem_r = max(1.5, s * 0.06)
    gm = P.poly(w, h, [(cx, cy - s * 0.5 - gem_r * 1.6), (cx + gem_r, cy - s * 0.5 - gem_r * 0.4),
                       (cx, cy - s * 0.5 + gem_r * 0.8), (cx - gem_r, cy - s * 0.5 - gem_r * 0.4)])
    P.paint(img, gm, P.vgrad(w, h, [(0, "#ffb0a0"), (0.5, "#d02a2a"), (1, "#5a0a10")],
                             cy - s * 0.5 - gem_r * 1.6, cy - s * 0.5 + gem_r * 0.8))


def gold_text(img, s, fnt, x, y, anchor="ls", spacing=0, supersample=False, shadow=True,
              stops=GOLD):
    w, h = img.shape[1], img.shape[0]
    m = P.text(w, h, s, fnt, x, y, anchor=anchor, spacing=spacing, supersample=supersample)
    ys = np.nonzero(m.max(axis=1) > 0.05)[0]
    top, bot = (ys[0], ys[-1] + 1) if len(ys) else (0, h)
    if shadow:
        P.paint(img, P.shift(m, 1, 1), "#000000", 0.85)
        P.paint(img, P.blur(m, 1.6), "#000000", 0.5)
    P.paint(img, m, P.vgrad(w, h, stops, top, bot))
    return m


def flat_text(img, s, fnt, x, y, color, anchor="ls", shadow=True, spacing=0):
    w, h = img.shape[1], img.shape[0]
    m = P.text(w, h, s, fnt, x, y, anchor=anchor, spacing=spacing)
    if shadow:
        P.paint(img, P.shift(m, 1, 1), "#000000", 0.8)
    P.paint(img, m, color)
    return m


def flourish(img, cx, cy, half, color="#b8924a", alpha=0.9):
    """A thin rule that fades to both ends with a diamond at its centre."""
    w, h = img.shape[1], img.shape[0]
    for sgn in (-1, 1):
        m = P.line(w, h, [(cx + sgn * 6, cy), (cx + sgn * half, cy)], 1.0)
        xs = np.arange(w, dtype=np.float32)
        fade = np.clip(1.0 - np.abs(xs - cx) / half, 0, 1)[None, :]
        P.paint(img, m * fade, color, alpha)
    d = P.poly(w, h, [(cx, cy - 3.5), (cx + 3.5, cy), (cx, cy + 3.5), (cx - 3.5, cy)])
    P.paint(img, d, P.vgrad(w, h, GOLD, cy - 3.5, cy + 3.5), alpha)


# ------------------------------------------------------------------ icons
# Each returns a coverage mask of an icon centred in a (w, h) box.

def icon_x(w, h, cx, cy, r, width=2.0):
    a = P.line(w, h, [(cx - r, cy - r), (cx + r, cy + r)], width)
    b = P.line(w, h, [(cx - r, cy + r), (cx + r, cy - r)], width)
    return np.maximum(a, b)


def icon_min(w, h, cx, cy, r):
    return P.rrect(w, h, (cx - r, cy + r - 2, cx + r, cy + r), 0.5)


def icon_max(w, h, cx, cy, r):
    return P.ring(w, h, (cx - r, cy - r, cx + r, cy + r), 1.0, 1.6) + \
        P.rrect(w, h, (cx - r, cy - r, cx + r, cy - r + 3), 0.5)


def icon_restore(w, h, cx, cy, r):
    back = P.ring(w, h, (cx - r + 3, cy - r, cx + r, cy + r - 3), 0.5, 1.4)
    front_box = (cx - r, cy - r + 3, cx + r - 3, cy + r)
    hide = P.rrect(w, h, front_box, 0.5)
    front = P.ring(w, h, front_box, 0.5, 1.4) + P.rrect(w, h, (front_box[0], front_box[1],
                                                              front_box[2], front_box[1] + 2.6))
    return np.clip(back * (1 - hide) + front, 0, 1)


def icon_hide(w, h, cx, cy, r):
    """Down into the tray: an arrow onto a bar."""
    shaft = P.rrect(w, h, (cx - 1, cy - r, cx + 1, cy + 1), 0)
    head = P.poly(w, h, [(cx - 4, cy - 1), (cx + 4, cy - 1), (cx, cy + 3.5)])
    bar = P.rrect(w, h, (cx - r, cy + r - 1.6, cx + r, cy + r), 0.5)
    return np.clip(shaft + head + bar, 0, 1)


def icon_refresh(w, h, cx, cy, r):
    """A clockwise arrow round a circle, its head at the upper left."""
    a = P.arc(w, h, (cx - r, cy - r, cx + r, cy + r), 280, 215, 1.8)
    th = math.radians(215)
    px, py = cx + r * math.cos(th), cy + r * math.sin(th)
    tx, ty = -math.sin(th), math.cos(th)  # direction of travel
    nx, ny = math.cos(th), math.sin(th)   # outwards
    head = P.poly(w, h, [(px + tx * 3.2, py + ty * 3.2), (px + nx * 3.2 - tx * 1.2,
                                                          py + ny * 3.2 - ty * 1.2),
                         (px - nx * 3.2 - tx * 1.2, py - ny * 3.2 - ty * 1.2)])
    return np.clip(a + head, 0, 1)


def icon_globe(w, h, cx, cy, r):
    o = P.ring(w, h, (cx - r, cy - r, cx + r, cy + r), r, 1.4)
    mer = P.ring(w, h, (cx - r * 0.45, cy - r, cx + r * 0.45, cy + r), r * 0.45, 1.2)
    eq = P.rrect(w, h, (cx - r, cy - 0.6, cx + r, cy + 0.6))
    lat1 = P.rrect(w, h, (cx - r * 0.85, cy - r * 0.5 - 0.5, cx + r * 0.85, cy - r * 0.5 + 0.5))
    lat2 = P.rrect(w, h, (cx - r * 0.85, cy + r * 0.5 - 0.5, cx + r * 0.85, cy + r * 0.5 + 0.5))
    disc = P.circle(w, h, cx, cy, r)
    return np.clip(o + (mer + eq + lat1 + lat2) * disc, 0, 1)


def icon_bubble(w, h, cx, cy, r):
    body = P.rrect(w, h, (cx - r, cy - r * 0.8, cx + r, cy + r * 0.45), 3)
    tail = P.poly(w, h, [(cx - r * 0.45, cy + r * 0.3), (cx - r * 0.55, cy + r),
                         (cx + r * 0.05, cy + r * 0.3)])
    outline = np.clip(body + tail, 0, 1)
    hole = P.rrect(w, h, (cx - r + 1.5, cy - r * 0.8 + 1.5, cx + r - 1.5, cy + r * 0.45 - 1.5), 2)
    dots = sum(P.circle(w, h, cx + dx, cy - r * 0.17, 1.1) for dx in (-3.4, 0, 3.4))
    return np.clip(outline - hole + dots * hole, 0, 1)


def icon_key(w, h, cx, cy, r):
    bow = P.ring(w, h, (cx - r, cy - r * 0.55, cx - r + r * 1.1, cy + r * 0.55), r, 1.6)
    shaft = P.rrect(w, h, (cx - r + r * 1.05, cy - 0.9, cx + r, cy + 0.9))
    t1 = P.rrect(w, h, (cx + r - 2.2, cy, cx + r, cy + 3.6))
    t2 = P.rrect(w, h, (cx + r - 5.6, cy, cx + r - 3.6, cy + 2.8))
    return np.clip(bow + shaft + t1 + t2, 0, 1)


def icon_head(w, h, cx, cy, r):
    head = P.circle(w, h, cx, cy - r * 0.3, r * 0.42)
    body = P.ellipse(w, h, (cx - r * 0.85, cy + r * 0.2, cx + r * 0.85, cy + r * 1.6))
    clip = P.rrect(w, h, (cx - r, cy - r, cx + r, cy + r))
    return np.clip(head + body, 0, 1) * clip


def icon_chevron(w, h, cx, cy, r, width=1.8):
    return P.line(w, h, [(cx - r, cy - r * 0.45), (cx, cy + r * 0.5), (cx + r, cy - r * 0.45)],
                  width)


# ---------------------------------------------------------- the title bar

def bar_profile(w, h=58):
    """The game title bar's background, a function of y only, so the
    stretched middle piece and both ends meet without seams. Top row (the
    caption strip, 0..29) is brushed steel; the bottom row (32..57) a
    darker shelf for the tools; a gold rail divides them."""
    img = P.vgrad(w, h, [(0, "#2a3244"), (0.5, "#1d2331"), (1, "#151a25")], 0, 30)
    img[0:1] = P.hexc("#4a5670")
    img[1:2] = P.hexc("#323b50")
    shelf = P.vgrad(w, h, [(0, "#0c1018"), (1, "#121824")], 32, 58)
    img[32:] = shelf[32:]
    rail = P.vgrad(w, h, GOLD_DIM, 29, 32)
    img[29:32] = rail[29:32]
    img[28:29] = P.hexc("#07090d")
    img[32:33] = P.hexc("#05070b")
    img[56:58] = P.vgrad(w, h, [(0, "#5a4520"), (1, "#2c2110")], 56, 58)[56:58]
    return img


def game_top():
    return bar_profile(28)


def game_topleft():
    w, h = 336, 58
    img = bar_profile(w)
    # A soft blue glow behind the crest and the title, fading before the seam.
    xs = np.arange(w, dtype=np.float32)
    glow = np.clip(1 - xs / 300.0, 0, 1)[None, :] ** 2 * np.ones((h, 1), np.float32)
    top = np.zeros((h, w), np.float32)
    top[2:28] = 1
    P.add_light(img, glow * top, "#1f3560", 0.5)
    # The user plate on the shelf: avatar button, name and the server button
    # sit here (x 130..334 in the layout).
    plate = (126, 33.5, 335, 56)
    P.paint(img, P.rrect(w, h, plate, 4), "#05070b")
    P.paint(img, P.rrect(w, h, (127, 34.5, 334, 55), 3), "#0a0e15")
    P.paint(img, P.ring(w, h, (127, 34.5, 334, 55), 3, 1), "#2c3446")
    # Title.
    gold_text(img, "TORVESSA", P.font(P.FONT_SERIF, 17), 70, 22, spacing=2.5, supersample=True)
    flat_text(img, "托维萨", P.font(P.FONT_CJK, 12), 206, 21, "#c4cad8")
    flourish(img, 150, 44, 22, alpha=0.7)
    # The crest sits over both rows like a medallion.
    medal = P.circle(w, h, 34, 29, 27)
    P.paint(img, P.blur(medal, 2.0), "#000000", 0.8)
    P.paint(img, medal, P.vgrad(w, h, [(0, "#1c2740"), (1, "#080b12")], 2, 56))
    gold_ring(img, (7, 2, 61, 56), 27, 2.0)
    crest(img, 34, 29, 40, glow=False)
    return img


def game_topright():
    w, h = 406, 58
    img = bar_profile(w)
    # A recess behind the caption buttons (x 280..398, y 0..24 plus the
    # title bar's 2-pixel inset).
    rec = (276, 0, 404, 28)
    P.paint(img, P.rrect(w, h, rec, 4), "#0a0d14")
    P.paint(img, P.ring(w, h, rec, 4, 1), "#3a4459", 0.8)
    # Past the tool buttons (0..268) the shelf ends in a flourish.
    flourish(img, 337, 44, 55, alpha=0.6)
    return img


def caption_tile(icon_fn, danger=False, face_w=28):
    """A title-bar button. face_w < 28 when the layout's source rectangle
    takes fewer columns ("hide" uses 0,0,27,24): the tile then ends inside
    the columns that are drawn."""
    w, h = 28, 24
    prof = bar_profile(w, 58)
    img = prof[2:26].copy()  # what lies beneath at the button's place
    face = (1, 1, face_w - 1, 23)
    P.paint(img, P.rrect(w, h, (0, 0, face_w, 24), 4), "#05070b")
    if danger:
        stops = [(0, "#c0463a"), (0.45, "#8e1f1a"), (1, "#4e0c0a")]
        rim = "#e08a5a"
    else:
        stops = [(0, "#4b5670"), (0.45, "#2b3243"), (1, "#161b26")]
        rim = "#8e7544"
    m = P.rrect(w, h, face, 3)
    P.paint(img, m, P.vgrad(w, h, stops, 1, 23))
    P.paint(img, P.ring(w, h, face, 3, 1), rim, 0.85)
    hl = P.rrect(w, h, (3, 2, face_w - 3, 3), 0)
    P.add_light(img, hl, "#ffffff", 0.12)
    ic = icon_fn(w, h)
    P.paint(img, P.shift(ic, 0, 1), "#000000", 0.7)
    P.paint(img, ic, "#fff2e0" if danger else "#e8dcc0")
    return img


def tool_button(label, icon_fn):
    w, h = 67, 28
    prof = bar_profile(w, 58)
    img = prof[30:58].copy()
    face = (0.5, 0.5, 66.5, 28)
    P.paint(img, P.rrect(w, h, (0, 0, 67, 32), 5), "#05070b")
    m = P.rrect(w, h, (1, 1, 66, 31), 4)
    P.paint(img, m, P.vgrad(w, h, STEEL, 1, 28))
    P.paint(img, P.ring(w, h, (1, 1, 66, 31), 4, 1) * m * (np.arange(h) < 27)[:, None],
            P.vgrad(w, h, GOLD_DIM, 0, 28), 0.9)
    P.add_light(img, P.rrect(w, h, (4, 2, 63, 3)), "#ffffff", 0.12)
    fnt = P.font(P.FONT_CJK, 12)
    tw, _ = P.text_size(label, fnt)
    iw = 14
    gap = 4
    x0 = (w - (iw + gap + tw)) / 2.0
    ic = icon_fn(w, h, x0 + iw / 2, 14.5)
    P.paint(img, P.shift(ic, 1, 1), "#000000", 0.7)
    P.paint(img, ic, P.vgrad(w, h, GOLD, 7, 22))
    flat_text(img, label, fnt, x0 + iw + gap, 19, TEXT_GOLD)
    del face
    return img


def game_userhead():
    w, h = 80, 20
    img = P.solid(w, h, "#0a0e15")
    av = P.circle(w, h, 10, 10, 8.5)
    P.paint(img, av, P.vgrad(w, h, [(0, "#2f5aa6"), (1, "#0e1d3d")], 2, 18))
    P.paint(img, icon_head(w, h, 10, 10.5, 7.5) * P.circle(w, h, 10, 10, 7.5), "#d9e2f2")
    P.paint(img, P.ring(w, h, (1.5, 1.5, 18.5, 18.5), 8.5, 1.2), P.vgrad(w, h, GOLD, 1, 19))
    flat_text(img, "欢迎您：", P.font(P.FONT_CJK, 12), 23, 15, TEXT_GOLD)
    return img


def game_changeserver():
    w, h = 22, 22
    img = P.solid(w, h, "#0a0e15")
    m = P.circle(w, h, 11, 11, 9.5)
    P.paint(img, m, P.vgrad(w, h, [(0, "#3d4760"), (1, "#161b26")], 2, 20))
    P.paint(img, P.ring(w, h, (1.5, 1.5, 20.5, 20.5), 9.5, 1.3), P.vgrad(w, h, GOLD, 1, 21))
    ch = icon_chevron(w, h, 11, 11.5, 4.2, 2.0)
    P.paint(img, P.shift(ch, 0, 1), "#000000", 0.7)
    P.paint(img, ch, TEXT_GOLD)
    return img


# --------------------------------------------------- keyed round buttons

def keyed_close(size, state, under, glyph_r=None):
    """A round close medallion for a 0xffff00ff mask. state: normal, hot or
    pushed."""
    w = h = size
    img = P.solid(w, h, under)
    c = size / 2.0
    R = size / 2.0 - 0.5
    disc = P.circle(w, h, c, c, R)
    P.paint(img, disc, "#05070b")
    rim = P.circle(w, h, c, c, R - 1)
    P.paint(img, rim, P.vgrad(w, h, GOLD if state != "pushed" else GOLD_DIM, 0, size))
    face_r = R - 1 - max(2.0, size * 0.08)
    face = P.circle(w, h, c, c, face_r)
    P.paint(img, P.circle(w, h, c, c, face_r + 0.8), "#1a0d08")
    if state == "normal":
        stops = [(0, "#5a2a22"), (0.5, "#3a1410"), (1, "#1c0806")]
        xcol = "#e9d3a6"
    elif state == "hot":
        stops = [(0, "#e0583e"), (0.5, "#a92418"), (1, "#5c0c08")]
        xcol = "#ffffff"
    else:
        stops = [(0, "#3a0c08"), (0.5, "#6a160e"), (1, "#8a2618")]
        xcol = "#f2c9a8"
    P.paint(img, face, P.vgrad(w, h, stops, c - face_r, c + face_r))
    if state == "hot":
        P.add_light(img, P.blur(face, size * 0.12) * face, "#ff8a50", 0.35)
    if state != "pushed":
        gloss = P.ellipse(w, h, (c - face_r * 0.75, c - face_r * 0.92, c + face_r * 0.75,
                                 c - face_r * 0.05)) * face
        P.add_light(img, gloss, "#ffffff", 0.12)
    else:
        P.paint(img, P.ring(w, h, (c - face_r, c - face_r, c + face_r, c + face_r), face_r, 1.5),
                "#000000", 0.45)
    off = 1 if state == "pushed" else 0
    gr = glyph_r if glyph_r else size * 0.17
    x = icon_x(w, h, c + off * 0.5, c + off, gr, max(1.8, size * 0.075))
    P.paint(img, P.shift(x, 0, 1), "#000000", 0.75)
    P.paint(img, x, xcol)
    return P.key_out(img, disc)


def main_close(state):
    # It sits on the main frame's gold-trimmed header corner (dark there).
    return keyed_close(35, state, "#121722")


def square_close(state):
    """update_close_*: an opaque tile for the top-right corner of the update
    window, readable on its own wherever the layout puts it."""
    w = h = 28
    img = P.solid(w, h, "#0f131c")
    P.paint(img, P.rrect(w, h, (2, 2, 26, 26), 4), "#05070b")
    face = (3, 3, 25, 25)
    if state == "normal":
        stops, xcol, rim = [(0, "#3b4458"), (1, "#171c27")], "#d9ccb0", "#7d6638"
    elif state == "hot":
        stops, xcol, rim = [(0, "#d04a36"), (1, "#6a1109")], "#ffffff", "#f0c070"
    else:
        stops, xcol, rim = [(0, "#4a0d08"), (1, "#8a2214")], "#f0c8a8", "#8e6a30"
    P.paint(img, P.rrect(w, h, face, 3), P.vgrad(w, h, stops, 3, 25))
    P.paint(img, P.ring(w, h, face, 3, 1), rim)
    if state == "hot":
        P.add_light(img, P.blur(P.rrect(w, h, face, 3), 3) * P.rrect(w, h, face, 3), "#ff9060",
                    0.3)
    off = 1 if state == "press" else 0
    x = icon_x(w, h, 14 + off * 0.5, 14 + off, 4.5, 2.0)
    P.paint(img, P.shift(x, 0, 1), "#000000", 0.7)
    P.paint(img, x, xcol)
    return img


# --------------------------------------------------------------- windows

def starfield(img, seed, count, y_max, avoid=None):
    w, h = img.shape[1], img.shape[0]
    rng = np.random.RandomState(seed)
    xs = rng.rand(count) * w
    ys = (rng.rand(count) ** 1.6) * y_max
    br = rng.rand(count) ** 3
    for x, y, b in zip(xs, ys, br):
        ix, iy = int(x), int(y)
        if avoid is not None and avoid(ix, iy):
            continue
        img[iy, ix] = np.clip(img[iy, ix] + 0.25 + 0.7 * b, 0, 1)
        if b > 0.6:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if 0 <= ix + dx < w and 0 <= iy + dy < h:
                    img[iy + dy, ix + dx] = np.clip(img[iy + dy, ix + dx] + 0.25 * b, 0, 1)


def ridge(w, seed, base, amp, rough=0.55, steps=9):
    """A mountain ridge line by midpoint displacement from a fixed seed."""
    rng = np.random.RandomState(seed)
    n = 2 ** steps + 1
    ys = np.zeros(n, np.float32)
    ys[0], ys[-1] = rng.rand() - 0.5, rng.rand() - 0.5
    step, a = n - 1, 1.0
    while step > 1:
        half = step // 2
        for i in range(half, n - 1, step):
            ys[i] = (ys[i - half] + ys[i + half]) / 2 + (rng.rand() - 0.5) * a
        step, a = half, a * rough
    xs = np.linspace(0, w, n)
    return base - np.interp(np.arange(w), xs, ys) * amp


def fill_below(img, line_y, color, alpha=1.0):
    h, w = img.shape[0], img.shape[1]
    ys = np.arange(h, dtype=np.float32)[:, None]
    cov = np.clip(ys + 0.5 - line_y[None, :], 0, 1)
    P.paint(img, cov, color, alpha)
    return cov


def main_bg():
    w, h = 1228, 700
    img = P.vgrad(w, h, [(0, "#04060d"), (0.45, "#101a33"), (0.78, "#2a2a4a"), (1, "#3d2a3a")],
                  0, 560)
    # Moon with a halo, upper right.
    mx, my, mr = 1148, 92, 40
    P.add_light(img, P.blur(P.circle(w, h, mx, my, mr), 60), "#6a86c8", 0.55)
    P.add_light(img, P.blur(P.circle(w, h, mx, my, mr), 18), "#b8c8ee", 0.35)
    starfield(img, 11, 900, 520, avoid=lambda x, y: (x - mx) ** 2 + (y - my) ** 2 < (mr + 20) ** 2)
    moon = P.circle(w, h, mx, my, mr)
    shade = P.vgrad(w, h, [(0, "#f6f2e2"), (1, "#c9c2ae")], my - mr, my + mr)
    P.paint(img, moon, shade)
    n = P.noise(w, h, 5, scale=14.0)
    P.paint(img, moon * np.clip(n * 2.0, 0, 1), "#9b968a", 0.35)
    for (cx, cy, r) in ((1135, 80, 8), (1163, 106, 6), (1152, 72, 4), (1138, 114, 5)):
        P.paint(img, P.circle(w, h, cx, cy, r) * moon, "#a9a392", 0.45)
    # Warm horizon glow where the sun went down.
    ys = np.arange(h, dtype=np.float32)[:, None]
    xs = np.arange(w, dtype=np.float32)[None, :]
    hg = np.exp(-((ys - 470) / 90.0) ** 2) * np.exp(-((xs - 1000) / 420.0) ** 2)
    P.add_light(img, hg, "#b0603a", 0.35)
    # Mountain ranges, far to near, with mist between them.
    layers = [
        (21, 430, 120, "#2a3152", 0.5),
        (22, 500, 110, "#1a203a", 0.55),
        (23, 575, 90, "#0f1326", 0.6),
    ]
    for seed, base, amp, col, rough in layers:
        ry = ridge(w, seed, base, amp, rough)
        fill_below(img, ry, col)
        mist = np.exp(-((ys - (base + 40)) / 40.0) ** 2) * np.ones((1, w), np.float32)
        P.add_light(img, mist, "#3a4a78", 0.12)
    # A citadel on a crag, right of the panel, with lit windows.
    crag_x = np.arange(w, dtype=np.float32)
    crag = 700 - 170 * np.exp(-((crag_x - 1020) / 150.0) ** 2) - \
        30 * np.exp(-((crag_x - 1150) / 60.0) ** 2)
    crag = crag + ridge(w, 31, 0, 14, 0.6)
    fill_below(img, crag, "#080a14")
    towers = [(958, 500, 20, 60, 30), (990, 470, 26, 90, 42), (1028, 450, 24, 110, 48),
              (1062, 482, 20, 80, 34), (1094, 506, 16, 50, 26)]
    for (tx, ttop, tw, th, roof) in towers:
        body = P.rrect(w, h, (tx - tw / 2, ttop, tx + tw / 2, ttop + th + 40))
        P.paint(img, body, "#080a14")
        P.paint(img, P.poly(w, h, [(tx - tw / 2 - 4, ttop + 1), (tx + tw / 2 + 4, ttop + 1),
                                   (tx, ttop - roof)]), "#080a14")
        P.paint(img, P.line(w, h, [(tx, ttop - roof), (tx, ttop - roof - 10)], 1.2), "#080a14")
        # Battlement notches and lit windows.
        for k in range(3):
            wy = ttop + 14 + k * 22
            if wy < ttop + th:
                win = P.rrect(w, h, (tx - 2, wy, tx + 2, wy + 7), 1.5)
                P.add_light(img, P.blur(win, 3), "#ff9a40", 0.6)
                P.paint(img, win, "#ffc46a")
    wall = P.rrect(w, h, (945, 540, 1110, 580))
    P.paint(img, wall, "#080a14")
    for k in range(11):
        P.paint(img, P.rrect(w, h, (947 + k * 15, 533, 955 + k * 15, 541)), "#080a14")
    # Foreground mist across the bottom.
    fog = np.clip((ys - 560) / 140.0, 0, 1) * np.ones((1, w), np.float32)
    P.paint(img, fog, "#0b0e18", 0.7)

    # Right-hand title block under the moon.
    bx = 1040
    crest(img, bx, 215, 96)
    gold_text(img, "TORVESSA", P.font(P.FONT_SERIF, 42), bx, 322, anchor="ms", spacing=5,
              supersample=True)
    flourish(img, bx, 340, 150)
    flat_text(img, "托 维 萨 · 永 恒 之 境", P.font(P.FONT_CJK, 16), bx, 368, "#e6d3a4",
              anchor="ms")

    # The login panel: a lacquered frame around the browser (84,168..812,642),
    # a header band that drags the window (70..,95..157) and the close
    # medallion at 780,133.
    P.paint(img, P.blur(P.rrect(w, h, (58, 88, 840, 666), 10), 12), "#000000", 0.75)
    panel_inner = framed_panel(img, (60, 90, 836, 660), 10, 41, gold_w=3.0,
                               fill=[(0, "#161d2c"), (1, "#0a0d15")])
    del panel_inner
    # Header band.
    hb = (66, 96, 830, 162)
    P.paint(img, P.rrect(w, h, hb, 6), P.vgrad(w, h, [(0, "#26304a"), (0.6, "#161d2e"),
                                                      (1, "#10141f")], hb[1], hb[3]))
    P.paint(img, P.rrect(w, h, (hb[0], hb[3] - 2, hb[2], hb[3])), P.vgrad(w, h, GOLD_DIM,
                                                                            hb[3] - 2, hb[3]))
    P.add_light(img, P.rrect(w, h, (hb[0] + 6, hb[1], hb[2] - 6, hb[1] + 1)), "#ffffff", 0.08)
    crest(img, 112, 131, 44)
    gold_text(img, "欢迎来到托维萨", P.font(P.FONT_CJK, 24), 150, 138)
    flat_text(img, "TORVESSA ONLINE · 账号登录", P.font(P.FONT_CJK, 12), 152, 155, TEXT_DIM)
    # The bezel around the browser, and what shows before the page arrives.
    bz = (80, 164, 816, 646)
    P.paint(img, P.rrect(w, h, bz, 3), "#05070b")
    gold_ring(img, (81, 165, 815, 645), 2, 2, GOLD_DIM)
    view = (84, 168, 812, 642)
    P.paint(img, P.rrect(w, h, view), P.vgrad(w, h, [(0, "#0e1320"), (1, "#070a10")],
                                              view[1], view[3]))
    vcx, vcy = (view[0] + view[2]) / 2, (view[1] + view[3]) / 2
    mark = np.zeros((h, w, 3), np.float32) + P.hexc("#0b0f19")
    crest(mark, vcx, vcy - 30, 150, glow=False)
    P.paint(img, P.rrect(w, h, view), mark, 0.18)
    flat_text(img, "正在连接登录服务器，请稍候…", P.font(P.FONT_CJK, 14), vcx, vcy + 80,
              "#7f89a0", anchor="ms")
    # Outer edge of the whole window: a dark line, then a gold hairline.
    P.paint(img, P.ring(w, h, (0, 0, 1227, 697), 0, 2), "#05070b")
    P.paint(img, P.ring(w, h, (2, 2, 1225, 695), 0, 2), P.vgrad(w, h, GOLD_DIM, 0, 697), 0.85)
    img[697:] = img[696:697]
    img[:, 1227:] = img[:, 1226:1227]
    return img


def progress_window(title, hint, seed):
    """update_bg and loading_bg: crest and name on the left, a title over an
    engraved groove at 223,55..589,73 that the progress image fills."""
    w, h = 590, 116
    img = P.vgrad(w, h, [(0, "#1c2436"), (1, "#090c13")], 0, h)
    n = P.noise(w, h, seed, scale=6.0)
    img = np.clip(img * (1 + n[..., None] * 0.07), 0, 1)
    xs = np.arange(w, dtype=np.float32)[None, :]
    ys = np.arange(h, dtype=np.float32)[:, None]
    glow = np.exp(-(((xs - 70) / 120.0) ** 2 + ((ys - 58) / 60.0) ** 2))
    P.add_light(img, glow, "#1f3a70", 0.6)
    crest(img, 58, 58, 70)
    gold_text(img, "托维萨", P.font(P.FONT_CJK, 22), 104, 58)
    gold_text(img, "TORVESSA", P.font(P.FONT_SERIF, 12), 105, 76, spacing=1.6, supersample=True,
              stops=GOLD_DIM)
    # Divider between the emblem and the progress area.
    dv = np.exp(-((ys - 58) / 38.0) ** 2)
    P.paint(img, P.rrect(w, h, (207, 14, 208, 102)) * dv, "#b8924a", 0.8)
    P.paint(img, P.rrect(w, h, (208, 14, 209, 102)) * dv, "#000000", 0.6)
    flat_text(img, title, P.font(P.FONT_CJK, 14), 223, 44, TEXT_GOLD)
    flat_text(img, hint, P.font(P.FONT_CJK, 12), 223, 94, TEXT_DIM)
    # Groove: the fill covers x 223..588, y 55..72 exactly; its lips lie
    # outside that rectangle so the bar never paints over them.
    P.paint(img, P.rrect(w, h, (221, 53, 590, 75)), "#2e3648")
    P.paint(img, P.rrect(w, h, (222, 54, 590, 74)), "#030408")
    groove = P.rrect(w, h, (223, 55, 589, 73))
    P.paint(img, groove, P.vgrad(w, h, [(0, "#05070b"), (0.3, "#0c1018"), (1, "#151a24")],
                                 55, 73))
    ticks = np.zeros((h, w), np.float32)
    for k in range(1, 10):
        x = 223 + round(366 * k / 10)
        ticks[57:71, x] = 1
    P.paint(img, ticks, "#1f2633", 0.8)
    # Window edge: gold hairline inside a dark line (the bar's last column is
    # 588, the frame's is 589).
    P.paint(img, P.ring(w, h, (0, 0, w, h), 0, 1), "#8a6a30")
    P.paint(img, P.ring(w, h, (1, 1, w - 1, h - 1), 0, 1), "#05070b")
    P.paint(img, P.rrect(w, h, (589, 54, 590, 74)), "#8a6a30")
    return img


def update_bg():
    return progress_window("正在检查更新…", "发现新版本时将自动下载，完成后启动器会自动重启", 61)


def loading_bg():
    return progress_window("正在加载游戏客户端…", "首次进入游戏需要加载较多资源，请耐心等待", 62)


def update_progress():
    w, h = 366, 18
    # Uniform along x: the window stretches it to the filled width.
    img = P.vgrad(w, h, [(0, "#fff1b8"), (0.15, "#ffd36a"), (0.5, "#e59a22"), (0.55, "#c97612"),
                         (1, "#7a3d06")], 0, h)
    img[0:1] = P.hexc("#fff8dc")
    img[h - 1:h] = P.hexc("#3a1c02")
    img[1:2] = np.clip(img[1:2] * 1.05, 0, 1)
    return img


def dialog_base(w, h, title, seed):
    img = P.solid(w, h, "#05070b")
    framed_panel(img, (0, 0, w, h), 0, seed, gold_w=2.0, outline=True,
                 fill=[(0, "#1a2131"), (1, "#0b0f17")])
    # Title strip (the drag area, 30 pixels).
    ts = (4, 4, w - 4, 31)
    P.paint(img, P.rrect(w, h, ts), P.vgrad(w, h, [(0, "#2a3450"), (1, "#141a28")], ts[1], ts[3]))
    P.paint(img, P.rrect(w, h, (4, 31, w - 4, 33)), P.vgrad(w, h, GOLD_DIM, 31, 33))
    crest(img, 19, 19, 19, glow=False)
    gold_text(img, title, P.font(P.FONT_CJK, 14), 34, 23)
    return img


def bosskey_bg():
    w, h = 349, 167
    img = dialog_base(w, h, "老板键设置", 71)
    # Under the close medallion at 317,3..345,31: the strip's colour.
    # The edit field (130,70..260,95) gets a recessed well, the labels at
    # 25,70 and 150,125 stand on the body; a hint line at the bottom.
    P.paint(img, P.rrect(w, h, (127, 67, 263, 98), 3), "#2e3648")
    P.paint(img, P.rrect(w, h, (128, 68, 262, 97), 2), "#05070b")
    P.paint(img, P.rrect(w, h, (129, 69, 261, 96)), "#f4f1e8")
    flat_text(img, "按住 Ctrl 再按一个键即可设置，例如 Ctrl+Q", P.font(P.FONT_CJK, 12), 25, 116,
              TEXT_DIM)
    flat_text(img, "一键隐藏游戏窗口，再按一次即可恢复", P.font(P.FONT_CJK, 12), w / 2, 54,
              "#c8ccd8", anchor="ms", shadow=True)
    return img


def bosskey_close():
    img = keyed_close(28, "normal", "#222a3e", glyph_r=4.6)
    return img


def keyed_check(checked):
    w = h = 15
    img = P.solid(w, h, "#12161f")
    box = P.rrect(w, h, (0, 0, 15, 15), 3)
    P.paint(img, box, "#05070b")
    P.paint(img, P.rrect(w, h, (1, 1, 14, 14), 2), P.vgrad(w, h, GOLD_DIM, 1, 14))
    inner = P.rrect(w, h, (2.5, 2.5, 12.5, 12.5), 1.2)
    P.paint(img, inner, P.vgrad(w, h, [(0, "#06080d"), (1, "#1b2130")], 2, 13))
    if checked:
        tick = P.line(w, h, [(4.2, 7.6), (6.6, 10.2), (11.2, 4.4)], 2.0)
        P.paint(img, P.shift(tick, 0, 1), "#000000", 0.6)
        P.paint(img, tick, P.vgrad(w, h, GOLD, 3, 11))
    return P.key_out(img, box)


def keyed_button(w, h, label, fsize, under, radius):
    img = P.solid(w, h, under)
    outer = P.rrect(w, h, (0, 0, w, h), radius)
    P.paint(img, outer, "#05070b")
    P.paint(img, P.rrect(w, h, (1, 1, w - 1, h - 1), radius - 1), P.vgrad(w, h, GOLD, 1, h - 1))
    face = (2.5, 2.5, w - 2.5, h - 2.5)
    fm = P.rrect(w, h, face, max(1.0, radius - 2.5))
    P.paint(img, fm, P.vgrad(w, h, [(0, "#7b2a1a"), (0.5, "#5a160c"), (1, "#2e0905")],
                             face[1], face[3]))
    gloss = P.rrect(w, h, (face[0] + 1, face[1] + 1, face[2] - 1, (face[1] + face[3]) / 2),
                    max(1.0, radius - 3))
    P.add_light(img, gloss, "#ffd9b0", 0.12)
    gold_text(img, label, P.font(P.FONT_CJK, fsize), w / 2, h / 2 + 0.5, anchor="mm")
    return P.key_out(img, outer)


def bosskey_ok():
    return keyed_button(70, 26, "确 定", 13, "#111520", 6)


def changeserver_bg():
    w, h = 320, 66
    img = P.solid(w, h, "#05070b")
    framed_panel(img, (0, 0, w, h), 0, 81, gold_w=1.0, outline=True,
                 fill=[(0, "#1c2436"), (1, "#0b0f17")])
    P.paint(img, P.rrect(w, h, (8, 32.5, 312, 33.5)), "#2e3648", 0.9)
    # Plates under the two text buttons "注销" (280,5..310,30) and "换服"
    # (280,35..310,60): the layout gives them text only.
    for (x0, y0, x1, y1) in ((279, 5, 311, 30), (279, 35, 311, 60)):
        P.paint(img, P.rrect(w, h, (x0, y0, x1, y1), 3), "#05070b")
        P.paint(img, P.ring(w, h, (x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5), 3, 1),
                P.vgrad(w, h, GOLD_DIM, y0, y1), 0.9)
        P.paint(img, P.rrect(w, h, (x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5), 2),
                P.vgrad(w, h, [(0, "#3a2030"), (1, "#1a0c14")], y0, y1))
    return img


def changeserver_selectlist():
    """Combo box face, stretched by its middle (corner 2,2,24,2): the right
    24 pixels hold the drop button. The field is light because the box
    draws the chosen server in the window's default text colour, black."""
    w, h = 142, 19
    img = P.solid(w, h, "#2e3648")
    P.paint(img, P.rrect(w, h, (1, 1, w - 1, h - 1)), "#8a6a30")
    P.paint(img, P.rrect(w, h, (2, 2, w - 2, h - 2)),
            P.vgrad(w, h, [(0, "#d9d4c7"), (0.25, "#f4f1ea"), (1, "#e6e1d4")], 2, h - 2))
    btn = (w - 23, 2, w - 2, h - 2)
    P.paint(img, P.rrect(w, h, btn), P.vgrad(w, h, STEEL, btn[1], btn[3]))
    P.paint(img, P.rrect(w, h, (btn[0] - 1, 2, btn[0], h - 2)), "#8a6a30")
    ch = icon_chevron(w, h, w - 12.5, 9.5, 3.6, 1.6)
    P.paint(img, P.shift(ch, 0, 1), "#000000", 0.6)
    P.paint(img, ch, TEXT_GOLD)
    return img


def changeserver_userhead():
    w = h = 20
    img = P.solid(w, h, "#1a2132")
    av = P.circle(w, h, 10, 10, 9.5)
    P.paint(img, av, P.vgrad(w, h, [(0, "#2f5aa6"), (1, "#0e1d3d")], 1, 19))
    P.paint(img, icon_head(w, h, 10, 10.5, 8) * P.circle(w, h, 10, 10, 8.2), "#d9e2f2")
    P.paint(img, P.ring(w, h, (0.5, 0.5, 19.5, 19.5), 9.5, 1.2), P.vgrad(w, h, GOLD, 0, 20))
    return img


def reggamedll_bg():
    w, h = 344, 264
    img = dialog_base(w, h, "安装游戏插件", 91)
    cx = w / 2
    xs = np.arange(w, dtype=np.float32)[None, :]
    ys = np.arange(h, dtype=np.float32)[:, None]
    P.add_light(img, np.exp(-(((xs - cx) / 90.0) ** 2 + ((ys - 92) / 50.0) ** 2)), "#1f3a70",
                0.6)
    crest(img, cx, 92, 84)
    gold_text(img, "首次进入托维萨需要安装游戏插件", P.font(P.FONT_CJK, 14), cx, 160,
              anchor="ms")
    flat_text(img, "插件用于在页面中运行游戏，安装只需几秒钟", P.font(P.FONT_CJK, 12), cx, 180,
              TEXT_DIM, anchor="ms")
    # The install button (144x34) sits at 100,200..244,234; its well:
    P.paint(img, P.rrect(w, h, (97, 197, 247, 237), 8), "#05070b", 0.8)
    return img


def reggamedll_install():
    return keyed_button(144, 34, "立即安装", 16, "#0d1119", 8)


def reggamedll_close():
    return keyed_close(28, "normal", "#222a3e", glyph_r=4.6)


def _tile_icon(fn, r, cx=14):
    return lambda w, h: fn(w, h, cx, 12.5, r)


def _tool_icon(fn, r):
    return lambda w, h, cx, cy: fn(w, h, cx, cy, r)


BUILDERS = {
    "main_bg.png": main_bg,
    "main_close_1.png": lambda: main_close("normal"),
    "main_close_2.png": lambda: main_close("hot"),
    "main_close_3.png": lambda: main_close("pushed"),
    "update_bg.png": update_bg,
    "loading_bg.png": loading_bg,
    "update_progress.png": update_progress,
    "update_close_normal.png": lambda: square_close("normal"),
    "update_close_hover.png": lambda: square_close("hot"),
    "update_close_press.png": lambda: square_close("press"),
    "reggamedll_bg.png": reggamedll_bg,
    "reggamedll_close.png": reggamedll_close,
    "reggamedll_install.png": reggamedll_install,
    "game_topleft.png": game_topleft,
    "game_top.png": game_top,
    "game_topright.png": game_topright,
    "game_close.png": lambda: caption_tile(lambda w, h: icon_x(w, h, 14, 12, 4.2, 1.9), True),
    "game_min.png": lambda: caption_tile(_tile_icon(icon_min, 5.5)),
    "game_max.png": lambda: caption_tile(_tile_icon(icon_max, 5.0)),
    "game_restore.png": lambda: caption_tile(_tile_icon(icon_restore, 5.5)),
    "game_hide.png": lambda: caption_tile(_tile_icon(icon_hide, 5.5, 13.5), face_w=27),
    "game_refresh.png": lambda: tool_button("刷新", _tool_icon(icon_refresh, 5.2)),
    "game_website.png": lambda: tool_button("官网", _tool_icon(icon_globe, 6.0)),
    "game_bbs.png": lambda: tool_button("论坛", _tool_icon(icon_bubble, 6.5)),
    "game_bosskey.png": lambda: tool_button("老板键", _tool_icon(icon_key, 6.5)),
    "game_userhead.png": game_userhead,
    "game_changeserver.png": game_changeserver,
    "bosskey_bg.png": bosskey_bg,
    "bosskey_close.png": bosskey_close,
    "bosskey_ok.png": bosskey_ok,
    "bosskey_checked.png": lambda: keyed_check(True),
    "bosskey_unchecked.png": lambda: keyed_check(False),
    "changeserver_bg.png": changeserver_bg,
    "changeserver_selectlist.png": changeserver_selectlist,
    "changeserver_userhead.png": changeserver_userhead,
}


def main(argv):
    if len(argv) < 2:
        print("usage: generate_skin.py OUTDIR [NAME...]", file=sys.stderr)
        return 2
    out = argv[1]
    names = argv[2:] or sorted(BUILDERS)
    assert sorted(BUILDERS) == sorted(SIZES), "every listed image has a builder"
    os.makedirs(out, exist_ok=True)
    for name in names:
        if name not in BUILDERS:
            print("generate_skin.py: unknown image %s" % name, file=sys.stderr)
            return 2
        img = BUILDERS[name]()
        want = SIZES[name]
        got = (img.shape[1], img.shape[0])
        if got != want:
            print("generate_skin.py: %s is %dx%d, expected %dx%d" % ((name,) + got + want),
                  file=sys.stderr)
            return 1
        P.save_png(img, os.path.join(out, name))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
