#!/usr/bin/env python3
"""Turns the BMP pictures in FOLDER into PNG files in OUT and writes
OUT/index.html, which shows the pictures of each program state side by side
(one column per look and language). Standard library only.

    topng.py FOLDER OUT
"""
import html
import os
import re
import struct
import sys
import zlib


def bmp_to_png(source, target):
    data = open(source, 'rb').read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    if bits != 24:
        raise ValueError('%s: %d bits per pixel, 24 expected' % (source, bits))
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = y if height < 0 else abs(height) - 1 - y
        start = offset + row * stride
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(b'\0' + bytes(rgb))

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))

    with open(target, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n')
        out.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, abs(height), 8, 2, 0, 0, 0)))
        out.write(chunk(b'IDAT', zlib.compress(b''.join(rows), 9)))
        out.write(chunk(b'IEND', b''))


def main(folder, out):
    # Names: <program>-<look>-<language>-<step>-<state>.bmp
    pattern = re.compile(r'^(\w+)-(\w+)-(\w+)-(\d+)-([\w-]+)\.bmp$')
    states = {}   # (program, step, state) -> {(look, language): png name}
    columns = set()
    for name in sorted(os.listdir(folder)):
        match = pattern.match(name)
        if not match:
            continue
        program, look, language, step, state = match.groups()
        png = name[:-4] + '.png'
        bmp_to_png(os.path.join(folder, name), os.path.join(out, png))
        states.setdefault((program, int(step), state), {})[(look, language)] = png
        columns.add((look, language))
    columns = sorted(columns, key=lambda c: (c[0] != 'wizard97', c[1] != 'en', c[1]))
    lines = ['<!DOCTYPE html>', '<html><head><meta charset="utf-8"><title>Screenshots</title>',
             '<style>body{font-family:sans-serif} td{vertical-align:top;padding:4px} '
             'img{border:1px solid #ccc}</style></head><body>', '<h1>Screenshots</h1>']
    for program in sorted({key[0] for key in states}):
        lines.append('<h2>%s</h2><table><tr><th></th>' % html.escape(program))
        lines += ['<th>%s, %s</th>' % (html.escape(look), html.escape(language)) for look, language in columns]
        lines.append('</tr>')
        for (prog, step, state) in sorted(k for k in states if k[0] == program):
            lines.append('<tr><th>%d. %s</th>' % (step, html.escape(state)))
            for column in columns:
                png = states[(prog, step, state)].get(column)
                lines.append('<td>%s</td>' % ('<img src="%s">' % png if png else ''))
            lines.append('</tr>')
        lines.append('</table>')
    lines.append('</body></html>')
    with open(os.path.join(out, 'index.html'), 'w', encoding='utf-8') as page:
        page.write('\n'.join(lines) + '\n')
    print('%d pictures, %s' % (sum(len(v) for v in states.values()), os.path.join(out, 'index.html')))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
