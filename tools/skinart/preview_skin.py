#!/usr/bin/python3
"""Composes mock-ups of the launcher's windows from the skin images, placed
where the layouts put them, so the art can be judged as a player sees it.

    preview_skin.py SKINDIR OUTDIR

Writes main.png (and main_hot.png, main_pushed.png), update.png, loading.png,
reggamedll.png, game.png (1280 wide), bosskey.png, changeserver.png and
states.png (every button image enlarged, side by side).
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


class Skin:
    def __init__(self, folder):
        self.folder = folder

    def load(self, name, mask=None):
        im = Image.open(os.path.join(self.folder, name)).convert("RGBA")
        if mask is not None:
            a = np.array(im)
            key = ((mask >> 16) & 255, (mask >> 8) & 255, mask & 255, (mask >> 24) & 255)
            hit = np.all(a == np.array(key, np.uint8), axis=-1)
            a[hit] = 0
            im = Image.fromarray(a, "RGBA")
        return im


def place(win, im, box, source=None):
    """Draws im (or its source rectangle, clipped to the image) stretched
    into box, the way a control's image is drawn."""
    x0, y0, x1, y1 = box
    if source:
        sx0, sy0, sx1, sy1 = source
        sx1, sy1 = min(sx1, im.width), min(sy1, im.height)
        im = im.crop((sx0, sy0, sx1, sy1))
    if im.size != (x1 - x0, y1 - y0):
        im = im.resize((x1 - x0, y1 - y0), Image.NEAREST)
    win.alpha_composite(im, (x0, y0))


def nine(win, im, box, corner):
    """Nine-part stretch: corners unscaled, edges and middle stretched."""
    l, t, r, b = corner
    x0, y0, x1, y1 = box
    W, H = im.size
    xs_src = [0, l, W - r, W]
    ys_src = [0, t, H - b, H]
    xs_dst = [x0, x0 + l, x1 - r, x1]
    ys_dst = [y0, y0 + t, y1 - b, y1]
    for i in range(3):
        for j in range(3):
            s = (xs_src[i], ys_src[j], xs_src[i + 1], ys_src[j + 1])
            d = (xs_dst[i], ys_dst[j], xs_dst[i + 1], ys_dst[j + 1])
            if s[2] > s[0] and s[3] > s[1] and d[2] > d[0] and d[3] > d[1]:
                place(win, im.crop(s), d)


def label(win, box, text, color, align="left", size=12):
    d = ImageDraw.Draw(win)
    f = ImageFont.truetype(FONT_CJK, size)
    x0, y0, x1, y1 = box
    l, t, r, b = f.getbbox(text)
    tw = r - l
    x = {"left": x0, "center": (x0 + x1 - tw) / 2, "right": x1 - tw}[align]
    d.text((x, (y0 + y1) / 2), text, font=f, fill=color, anchor="lm")


M = 0xFFFF00FF


def main_window(s, state):
    win = Image.new("RGBA", (1227, 697), (0, 0, 0, 255))
    place(win, s.load("main_bg.png", 0x00FFFFFF), (0, 0, 1227, 697))
    img = {"normal": "main_close_1.png", "hot": "main_close_2.png",
           "pushed": "main_close_3.png"}[state]
    place(win, s.load(img, M), (780, 133, 815, 168))
    return win


def progress_window(s, bg, fraction):
    win = Image.new("RGBA", (590, 116), (0, 0, 0, 255))
    place(win, s.load(bg), (0, 0, 590, 116))
    x0, y0, x1, y1 = 223, 55, 589, 73
    fill = (x1 - x0) * fraction // 100
    if fill > 0:
        place(win, s.load("update_progress.png"), (x0, y0, x0 + fill, y1))
    return win


def reggamedll_window(s):
    win = Image.new("RGBA", (344, 264), (0, 0, 0, 255))
    place(win, s.load("reggamedll_bg.png"), (0, 0, 344, 264))
    place(win, s.load("reggamedll_close.png", M), (312, 3, 340, 31))
    place(win, s.load("reggamedll_install.png", M), (100, 200, 244, 234))
    return win


def game_window(s, width=1280, height=720):
    win = Image.new("RGBA", (width, height), (0, 0, 0, 255))
    d = ImageDraw.Draw(win)
    # Body: the game page's place, a dark stand-in for the page.
    body = Image.new("RGBA", (width - 14, height - 67), (12, 16, 26, 255))
    bd = ImageDraw.Draw(body)
    bd.text((body.width / 2, body.height / 2), "（游戏画面）",
            font=ImageFont.truetype(FONT_CJK, 20), fill=(90, 100, 120, 255), anchor="mm")
    win.alpha_composite(body, (7, 60))
    # Title bar: x 2..width-2, children at y 4..60 (height 58 less the inset).
    top, bottom = 4, 60
    left = (2, top, 338, bottom)
    right = (width - 2 - 406, top, width - 2, bottom)
    place(win, s.load("game_topleft.png"), left)
    place(win, s.load("game_top.png"), (338, top, right[0], bottom))
    place(win, s.load("game_topright.png"), right)
    # Left part: spacer 130, then userhead, username and changeserver.
    ux, uy = left[0] + 130, top + 32
    place(win, s.load("game_userhead.png"), (ux, uy, ux + 80, uy + 20), (0, 0, 80, 20))
    label(win, (ux + 80, uy, ux + 182, uy + 22), "银月守望者", (255, 255, 255, 255))
    place(win, s.load("game_changeserver.png"), (ux + 182, uy, ux + 204, uy + 22),
          (0, 0, 22, 22))
    # Right part: tool group at 0,30 and the caption group from x 280.
    tx, ty = right[0], top + 30
    for i, name in enumerate(("refresh", "website", "bbs", "bosskey")):
        place(win, s.load("game_%s.png" % name), (tx + 67 * i, ty, tx + 67 * i + 67, ty + 28),
              (0, 0, 67, 28))
    cx = right[0] + 280
    for off, name, src in ((0, "hide", (0, 0, 27, 24)), (30, "min", None), (60, "max", None),
                           (90, "close", (0, 0, 33, 24))):
        place(win, s.load("game_%s.png" % name), (cx + off, top, cx + off + 28, top + 24), src)
    # Root border 2 pixels, colour 492b00.
    d.rectangle((0, 0, width - 1, height - 1), outline=(0x49, 0x2B, 0x00, 255), width=2)
    return win


def bosskey_window(s):
    win = Image.new("RGBA", (349, 167), (0, 0, 0, 255))
    place(win, s.load("bosskey_bg.png", 0x00FFFFFF), (0, 0, 349, 167))
    place(win, s.load("bosskey_close.png", M), (317, 3, 345, 31))
    label(win, (25, 70, 110, 90), "请输入老板键：", (255, 255, 255, 255))
    d = ImageDraw.Draw(win)
    d.rectangle((130, 70, 259, 94), fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    label(win, (134, 70, 260, 95), "Ctrl+Q", (0, 0, 0, 255))
    place(win, s.load("bosskey_ok.png", M), (270, 70, 340, 96))
    place(win, s.load("bosskey_checked.png", M), (130, 125, 145, 140))
    label(win, (150, 125, 240, 140), "启用老板键", (255, 255, 255, 255))
    return win


def changeserver_window(s):
    win = Image.new("RGBA", (320, 66), (0, 0, 0, 255))
    place(win, s.load("changeserver_bg.png"), (0, 0, 320, 66))
    place(win, s.load("changeserver_userhead.png"), (10, 5, 30, 25), (0, 0, 20, 20))
    label(win, (35, 5, 160, 30), "您当前所在的区服:", (255, 255, 255, 255))
    label(win, (165, 5, 275, 30), "三区 星陨之原", (255, 255, 0, 255))
    label(win, (280, 5, 310, 30), "注销", (255, 0, 255, 255), "center")
    label(win, (10, 35, 130, 60), "选择其他服务器：", (255, 255, 255, 255))
    nine(win, s.load("changeserver_selectlist.png"), (130, 37, 275, 56), (2, 2, 24, 2))
    label(win, (132, 38, 218, 55), "一区 晨曦之城", (255, 255, 255, 255))
    label(win, (280, 35, 310, 60), "换服", (255, 255, 0, 255), "center")
    return win


def states_sheet(s, zoom=4):
    rows = [
        [("main_close_1.png", M), ("main_close_2.png", M), ("main_close_3.png", M)],
        [("update_close_normal.png", None), ("update_close_hover.png", None),
         ("update_close_press.png", None)],
        [("game_hide.png", None), ("game_min.png", None), ("game_max.png", None),
         ("game_restore.png", None), ("game_close.png", None)],
        [("game_refresh.png", None), ("game_website.png", None), ("game_bbs.png", None),
         ("game_bosskey.png", None)],
        [("game_userhead.png", None), ("game_changeserver.png", None),
         ("changeserver_userhead.png", None), ("changeserver_selectlist.png", None)],
        [("bosskey_close.png", M), ("bosskey_ok.png", M), ("bosskey_unchecked.png", M),
         ("bosskey_checked.png", M), ("reggamedll_close.png", M),
         ("reggamedll_install.png", M)],
    ]
    pad = 8
    row_imgs = [[s.load(n, m) for n, m in row] for row in rows]
    width = max(sum(i.width * zoom + pad for i in r) for r in row_imgs) + pad
    height = sum(max(i.height for i in r) * zoom + pad for r in row_imgs) + pad
    sheet = Image.new("RGBA", (width, height), (40, 44, 52, 255))
    y = pad
    for r in row_imgs:
        x = pad
        for im in r:
            z = im.resize((im.width * zoom, im.height * zoom), Image.NEAREST)
            sheet.alpha_composite(z, (x, y))
            x += z.width + pad
        y += max(i.height for i in r) * zoom + pad
    return sheet


def main(argv):
    if len(argv) != 3:
        print("usage: preview_skin.py SKINDIR OUTDIR", file=sys.stderr)
        return 2
    s = Skin(argv[1])
    out = argv[2]
    os.makedirs(out, exist_ok=True)
    shots = {
        "main.png": main_window(s, "normal"),
        "main_hot.png": main_window(s, "hot"),
        "main_pushed.png": main_window(s, "pushed"),
        "update.png": progress_window(s, "update_bg.png", 50),
        "loading.png": progress_window(s, "loading_bg.png", 70),
        "reggamedll.png": reggamedll_window(s),
        "game.png": game_window(s),
        "bosskey.png": bosskey_window(s),
        "changeserver.png": changeserver_window(s),
        "states.png": states_sheet(s),
    }
    for name, im in shots.items():
        im.convert("RGB").save(os.path.join(out, name))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
