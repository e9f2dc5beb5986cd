#!/usr/bin/python3
"""Turns the drawing calls that skin_layout_dump prints into a picture, so
that a layout as the framework lays it out can be looked at.

    skin_layout_dump SKINDIR LAYOUT [states] | render_layout.py SKINDIR OUT.png
"""

import sys

from PIL import Image, ImageDraw, ImageFont

FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


def rect(text):
    return tuple(int(v) for v in text.split(","))


def colour(text):
    v = int(text, 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255, (v >> 24) & 255)


def load(skin, name, mask):
    im = Image.open(f"{skin}/{name}").convert("RGBA")
    if mask:
        key = colour(f"{mask:08X}")
        px = im.load()
        for y in range(im.height):
            for x in range(im.width):
                if px[x, y] == key:
                    px[x, y] = (0, 0, 0, 0)
    return im


def nine_part(im, size, corner):
    l, t, r, b = corner
    w, h = size
    out = Image.new("RGBA", size)
    xs = [(0, l, 0, l), (l, im.width - r, l, w - r), (im.width - r, im.width, w - r, w)]
    ys = [(0, t, 0, t), (t, im.height - b, t, h - b), (im.height - b, im.height, h - b, h)]
    for sx0, sx1, dx0, dx1 in xs:
        for sy0, sy1, dy0, dy1 in ys:
            if sx1 > sx0 and sy1 > sy0 and dx1 > dx0 and dy1 > dy0:
                part = im.crop((sx0, sy0, sx1, sy1)).resize((dx1 - dx0, dy1 - dy0), Image.NEAREST)
                out.paste(part, (dx0, dy0))
    return out


def main():
    skin, out_path = sys.argv[1], sys.argv[2]
    calls = [line.rstrip("\n").split("\t") for line in sys.stdin if line.strip()]
    size = next((int(c[1]), int(c[2])) for c in calls if c[0] == "size")
    canvas = Image.new("RGBA", size, (0, 0, 0, 255))
    cache = {}
    for c in calls:
        kind = c[0]
        if kind == "image":
            name, dest, source, corner = c[1], rect(c[2]), rect(c[3]), rect(c[4])
            fade, mask, clip = int(c[5]), int(c[6], 16), rect(c[7])
            key = (name, mask)
            if key not in cache:
                cache[key] = load(skin, name, mask)
            part = cache[key].crop(source)
            w, h = dest[2] - dest[0], dest[3] - dest[1]
            if any(corner):
                part = nine_part(part, (w, h), corner)
            else:
                part = part.resize((w, h), Image.NEAREST)
            if fade < 255:
                alpha = part.getchannel("A").point(lambda a: a * fade // 255)
                part.putalpha(alpha)
            layer = Image.new("RGBA", size)
            layer.paste(part, dest[:2])
            mask_img = Image.new("L", size, 0)
            ImageDraw.Draw(mask_img).rectangle((clip[0], clip[1], clip[2] - 1, clip[3] - 1), 255)
            clipped = Image.new("RGBA", size)
            clipped.paste(layer, (0, 0), mask_img)
            canvas = Image.alpha_composite(canvas, clipped)
        elif kind == "fill":
            r = rect(c[1])
            layer = Image.new("RGBA", size)
            ImageDraw.Draw(layer).rectangle((r[0], r[1], r[2] - 1, r[3] - 1), colour(c[2]))
            canvas = Image.alpha_composite(canvas, layer)
        elif kind == "text":
            r, col, style, px, text = rect(c[1]), colour(c[2]), int(c[3]), int(c[4]), c[5]
            font = ImageFont.truetype(FONT, px)
            draw = ImageDraw.Draw(canvas)
            box = draw.textbbox((0, 0), text, font=font)
            tw, th = box[2] - box[0], box[3] - box[1]
            x = r[0]
            if style & 1:
                x = r[0] + (r[2] - r[0] - tw) // 2
            elif style & 2:
                x = r[2] - tw
            y = r[1]
            if style & 4:
                y = r[1] + (r[3] - r[1] - th) // 2 - box[1]
            elif style & 8:
                y = r[3] - th - box[1]
            draw.text((x, y), text, font=font, fill=col[:3] + (255,))
        elif kind in ("border", "roundborder"):
            r, width, col = rect(c[1]), int(c[2]), colour(c[3])
            draw = ImageDraw.Draw(canvas)
            box = (r[0], r[1], r[2] - 1, r[3] - 1)
            if kind == "roundborder":
                draw.rounded_rectangle(box, radius=max(int(c[4]) // 2, 1), outline=col, width=width)
            else:
                draw.rectangle(box, outline=col, width=width)
    canvas.convert("RGB").save(out_path)


if __name__ == "__main__":
    main()
