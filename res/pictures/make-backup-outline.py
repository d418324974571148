#!/usr/bin/env python3
"""Prints the two outlines of the Backup desktop window for res/DesktopIconShapes.h.

The window shows a cardboard box with a green arrow (src/backup.mvg) and, while
it has the keyboard focus, the box with its flaps open and the arrow going in
(src/backup-focus.mvg). Its region is the outline of that picture. The outlines
are traced from a pixel mask of the same geometry as the drawings, so every edge
is horizontal or vertical except a few corner cuts, and the system fills them
exactly as ImageMagick does. Run it after changing the geometry and paste the
output into the header; the drawings must be changed to match.

Only a developer runs this; the build reads the header.
"""

W = H = 40


def box(x0, x1, top, depth):
    """An isometric box: lid apex at (centre, top), 2:1 edges, sides `depth` tall."""
    c = (x0 + x1) // 2
    hh = (c - x0) // 2
    return [(c, top), (x1, top + hh), (x1, top + hh + depth), (c, top + 2 * hh + depth),
            (x0, top + hh + depth), (x0, top + hh)]


def arrow(top, shaft_bottom, head_top, half_width, cx=20, shaft_half=3):
    """A down arrow: a shaft and a head of one-pixel rows, one pixel narrower each row."""
    rows = [[(cx - shaft_half, top), (cx + shaft_half, top),
             (cx + shaft_half, shaft_bottom), (cx - shaft_half, shaft_bottom)]]
    y, w = head_top, half_width
    while w > 0:
        rows.append([(cx - w, y), (cx + w, y), (cx + w, y + 1), (cx - w, y + 1)])
        y, w = y + 1, w - 1
    return rows


def inside(px, py, pts):
    hit = False
    for i in range(len(pts)):
        (x1, y1), (x2, y2) = pts[i], pts[(i + 1) % len(pts)]
        if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def mask(shapes):
    """Pixels whose centre lies in a shape; the left half is mirrored to the right."""
    m = [[False] * W for _ in range(H)]
    for y in range(H):
        for x in range(W // 2):
            m[y][x] = m[y][W - 1 - x] = any(inside(x + 0.5, y + 0.5, s) for s in shapes)
    return m


def trace(m):
    """The clockwise outline of the mask's one region, without collinear points."""
    def at(x, y):
        return 0 <= x < W and 0 <= y < H and m[y][x]
    nxt = {}
    count = 0
    for y in range(H):
        for x in range(W):
            if not m[y][x]:
                continue
            for cond, a, b in ((not at(x, y - 1), (x, y), (x + 1, y)),
                               (not at(x + 1, y), (x + 1, y), (x + 1, y + 1)),
                               (not at(x, y + 1), (x + 1, y + 1), (x, y + 1)),
                               (not at(x - 1, y), (x, y + 1), (x, y))):
                if cond:
                    nxt[a] = b
                    count += 1
    start = min(nxt, key=lambda p: (p[1], p[0]))
    path, cur = [start], nxt[start]
    while cur != start:
        path.append(cur)
        cur = nxt[cur]
    assert len(path) == count, "the mask is not one simple region"
    n = len(path)
    return [path[i] for i in range(n)
            if (path[i][0] - path[i - 1][0]) * (path[(i + 1) % n][1] - path[i][1])
            != (path[i][1] - path[i - 1][1]) * (path[(i + 1) % n][0] - path[i][0])]


def cut_corner(points, corner, a, b):
    """Replaces a corner by the two points of a one-pixel cut."""
    i = points.index(corner)
    return points[:i] + [a, b] + points[i + 1:]


def merge_corners(points, first, second, into):
    """Replaces two neighbouring corners by one point (a pointed tip)."""
    i = points.index(first)
    assert points[i + 1] == second
    return points[:i] + [into] + points[i + 2:]


LID = box(6, 34, 14, 10)    # apex (20,14), corners (6,21) (34,21), front (20,28)
FLAPS = [[(6, 21), (20, 14), (17, 7), (3, 14)], [(20, 14), (34, 21), (37, 14), (23, 7)]]


def normal_outline():
    p = trace(mask([LID] + arrow(2, 15, 14, 8)))
    p = cut_corner(p, (17, 2), (17, 3), (18, 2))
    p = cut_corner(p, (23, 2), (22, 2), (23, 3))
    return p + [p[0]]


def focus_outline():
    p = trace(mask([LID] + FLAPS + arrow(3, 17, 16, 8)))
    p = cut_corner(p, (17, 3), (17, 4), (18, 3))
    p = cut_corner(p, (23, 3), (22, 3), (23, 4))
    p = merge_corners(p, (21, 38), (19, 38), (20, 38))
    return p + [p[0]]


def c_array(name, points):
    lines = []
    for i in range(0, len(points), 8):
        lines.append("    " + " ".join("{%d, %d}," % p for p in points[i:i + 8]))
    return "const OutlinePoint %s[%d] = {\n%s\n};" % (name, len(points), "\n".join(lines))


if __name__ == "__main__":
    print(c_array("kBackupOutline", normal_outline()))
    print()
    print(c_array("kBackupFocusOutline", focus_outline()))
