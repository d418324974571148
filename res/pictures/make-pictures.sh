#!/usr/bin/env bash
# Renders every picture of the program and of its two resource libraries from
# the drawings in src/ into OUT_DIR, as the files the resource scripts name:
#   icon-NNN.ico       program icons (16, 24, 32 and 48 pixels, 32-bit with alpha)
#   trayicon-NN.ico    the icons of TrayIcons.dll
#   bitmap-NNN.bmp     program bitmaps (24-bit, or 16 colours for the variants
#                      shown at 8 bits per pixel)
#   about-NNN.bmp      the About picture of Resources.dll
#   contact-sheet.png  every picture enlarged on one sheet, for looking at
#   pictures.stamp     written last, when everything else is in place
# The output depends only on the sources, ImageMagick and the DejaVu fonts.
#
# Drawings (src/*.mvg) are ImageMagick vector graphics in a 16-unit square
# (in pixels for the 40-pixel desktop windows), with three additions handled
# here:
#   {expression}   Perl arithmetic; $k is the scale (pixels per unit), $p one
#                  pixel in units and $h half of one, $t a thin line (1 or 2
#                  pixels), snap(u) the place nearest u for a line of width
#                  $t to fall on whole pixels, and every colour of
#                  src/palette.txt is $name
#   ?(condition) … the rest of the line only when the condition holds
#   @include NAME  the lines of src/NAME.mvg
# $vga is 1 while the 16-colour variant is drawn: the colours are then their
# 16-colour stand-ins and nothing is smoothed. Unit coordinates are cell
# edges: "rectangle 0,0 1,1" is exactly one unit.
set -euo pipefail

src=$(cd "$(dirname "$0")" && pwd)/src
shapes=$src/../../DesktopIconShapes.h
out=${1:?usage: make-pictures.sh OUT_DIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
# PICTURES_WORK names a folder to keep the intermediate images in.
if [ -n "${PICTURES_WORK:-}" ]; then
  work=$PICTURES_WORK
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

IM=convert
[ -x /usr/bin/convert ] && IM=/usr/bin/convert
MONTAGE=montage
[ -x /usr/bin/montage ] && MONTAGE=/usr/bin/montage
FONT_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
for f in "$FONT" "$FONT_BOLD"; do
  [ -f "$f" ] || { echo "make-pictures: missing font $f (fonts-dejavu-core)" >&2; exit 1; }
done

# colour[NAME] and colour16[NAME]: the palette, for the steps below that
# draw without a drawing.
declare -A colour colour16
while read -r name value value16; do
  case "$name" in ''|\#*) continue ;; esac
  colour[$name]=$value
  colour16[$name]=$value16
done <"$src/palette.txt"

# The 16 colours every display can show, as a palette image: the 16-colour
# pictures are mapped onto it, so their bitmaps hold exactly these.
VGA16=(000000 800000 008000 808000 000080 800080 008080 C0C0C0
       808080 FF0000 00FF00 FFFF00 0000FF FF00FF 00FFFF FFFFFF)
vga_args=()
for c in "${VGA16[@]}"; do vga_args+=("xc:#$c"); done
"$IM" "${vga_args[@]}" +append "$work/vga16.png"

# to16 IN OUT.bmp: a picture already drawn in the 16 colours, as a 4-bit BMP.
to16() {
  "$IM" "$1" -alpha off +dither -remap "$work/vga16.png" -type Palette "BMP3:$2"
}

# preprocess NAME SCALE VGA OVERSAMPLE: the drawing as plain MVG for one
# scale, on a canvas OVERSAMPLE times as large.
preprocess() {
  perl -e '
    # Drawings name colours as plain variables, so no "use strict" here.
    use warnings; no warnings "once";
    my ($dir, $name, $scale, $mode, $over) = @ARGV;
    $k = $scale; $vga = $mode;
    $p = 1 / $k; $h = 0.5 / $k;
    $t = (int(0.6 * $k + 0.5) || 1) / $k;
    sub snap { my $w = $t * $k; return (int($_[0] * $k - $w / 2 + 0.5) + $w / 2) / $k; }
    my %c;
    open(my $pf, "<", "$dir/palette.txt") or die "palette: $!";
    while (<$pf>) {
      next if /^\s*(#|$)/;
      my ($n, $v, $v16) = split;
      $c{$n} = $vga ? $v16 : $v;
    }
    ${"main::$_"} = $c{$_} for keys %c;
    sub emit {
      my ($file, $depth) = @_;
      die "include loop at $file\n" if $depth > 8;
      open(my $fh, "<", "$dir/$file.mvg") or die "$file.mvg: $!\n";
      while (my $text = <$fh>) {
        next if $text =~ /^\s*(#|$)/;
        if ($text =~ /^\s*\@include\s+(\S+)/) { emit($1, $depth + 1); next; }
        if ($text =~ /^\s*\?\(([^)]*)\)\s*(.*)$/s) {
          my $ok = eval $1; die "$file: bad condition ($1): $@" if $@;
          next unless $ok;
          $text = $2;
        }
        $text =~ s/\{([^{}]+)\}/my $v = eval $1; die "$file: bad {$1}: $@" if $@ || !defined $v; $v/ge;
        print $text;
      }
    }
    my $f = $k * $over;
    print "affine $f,0,0,$f,-0.5,-0.5\n";
    emit($name, 0);
  ' "$src" "$1" "$2" "$3" "$4"
}

# render NAME SCALE WIDTH HEIGHT OUT.png [vga]: the drawing on a transparent
# canvas. Smooth pictures are drawn four times as large and then averaged
# down, so that an edge on a pixel boundary stays sharp and a slanted one
# gets the share of each pixel it covers; with "vga" the drawing is in the 16
# colours and every pixel whose centre lies inside a shape takes its colour.
render() {
  local mvg
  if [ "${6:-}" = vga ]; then
    mvg=$(preprocess "$1" "$2" 1 1)
    "$IM" -size "$3x$4" xc:none +antialias -draw "$mvg" \
      -define png:exclude-chunks=date,time "png32:$5"
  else
    mvg=$(preprocess "$1" "$2" 0 4)
    "$IM" -size "$(($3 * 4))x$(($4 * 4))" xc:none -draw "$mvg" -scale 25% \
      -define png:exclude-chunks=date,time "png32:$5"
  fi
}

# icon NAME OUT.ico: a 16, 24, 32 and 48 pixel icon from one drawing (24 is
# the small icon at 150 %); a drawing NAME-16 replaces the 16-pixel rendering
# where small details need their own.
icon() {
  local s base16=$1
  [ -f "$src/$1-16.mvg" ] && base16=$1-16
  render "$base16" 1 16 16 "$work/$1-16.png"
  render "$1" 1.5 24 24 "$work/$1-24.png"
  for s in 32 48; do
    render "$1" "$((s / 16))" "$s" "$s" "$work/$1-$s.png"
  done
  # Smoothing leaves a trace of alpha a pixel beyond some shapes; such
  # pixels are clear, so the icons' masks mark them transparent.
  local images=()
  for s in 16 24 32 48; do
    "$IM" "$work/$1-$s.png" -channel A -black-threshold 12% +channel "png32:$work/$1-$s.png"
    images+=("$work/$1-$s.png")
  done
  "$IM" "${images[@]}" "$2"
  "$IM" "${images[@]}" -background none -gravity south +append "$work/sheet-$(basename "$2" .ico).png"
}

# silhouette IN.png OUT.png: every pixel fully opaque or fully clear, as a
# key colour leaves it.
silhouette() {
  "$IM" "$1" -channel A -threshold 50% +channel "$2"
}

# keyed NAME SCALE SIZE KEY OUT24 OUT16: a picture drawn by the pages with
# one key colour (hex, no #) transparent; OUT16 is its 16-colour variant.
keyed() {
  local name=$1 k=$2 size=$3 key=$4
  render "$name" "$k" "$size" "$size" "$work/$name.png"
  silhouette "$work/$name.png" "$work/$name-solid.png"
  "$IM" -size "${size}x$size" "xc:#$key" "$work/$name-solid.png" -compose over -composite \
    -alpha off -type TrueColor "BMP3:$5"
  render "$name" "$k" "$size" "$size" "$work/$name-16.png" vga
  silhouette "$work/$name-16.png" "$work/$name-solid16.png"
  "$IM" -size "${size}x$size" "xc:#$key" "$work/$name-solid16.png" -compose over -composite \
    "$work/$name-flat16.png"
  to16 "$work/$name-flat16.png" "$6"
  "$IM" "$work/$name-solid.png" "$work/$name-solid16.png" -background none +append \
    "$work/sheet-$(basename "$5" .bmp).png"
}

# outline ARRAY: the points of one outline of res/DesktopIconShapes.h, as
# "x,y x,y ...".
outline() {
  sed -n "/ $1\[/,/};/p" "$shapes" | grep -o '{-\?[0-9]*, -\?[0-9]*}' | tr -d '{ }' | tr '\n' ' '
}

# desktop_picture NAME OUTLINE RIM EDGE OUT24 OUT16 [focus]: one picture of a
# desktop drop window, 40 by 40 pixels, drawn to fill its window's outline.
# The outline's inner EDGE pixels and everything outside it are the rim
# colour. The system's polygon fill and ImageMagick's agree on horizontal and
# vertical edges, but on 45-degree edges through pixel corners the system
# leaves out the pixels the edge halves; an outline with such edges needs an
# edge of 2 so that its window still shows a rim there. A focused picture is
# tinted with the selection colour, in 16 colours as every other pixel.
desktop_picture() {
  local name=$1 outline_name=$2 rim=$3 edge=$4 out24=$5 out16=$6 focus=${7:-}
  "$IM" -size 40x40 xc:black +antialias -fill white \
    -draw "affine 1,0,0,1,-0.5,-0.5 polygon $(outline "$outline_name")" "$work/$name-mask.png"
  "$IM" "$work/$name-mask.png" -morphology EdgeIn "Diamond:$edge" "$work/$name-edge.png"
  render "$name" 1 40 40 "$work/$name.png"
  if [ "$focus" = focus ]; then
    "$IM" "$work/$name.png" \( +clone -fill "${colour[select]}" -colorize 100 \
      -channel A -evaluate multiply 0.25 +channel \) -compose over -composite "$work/$name.png"
  fi
  flatten_desktop "$work/$name.png" "${colour[$rim]}" "$work/$name-edge.png" "$work/$name-flat.png"
  "$IM" "$work/$name-flat.png" -type TrueColor "BMP3:$out24"
  render "$name" 1 40 40 "$work/$name-16.png" vga
  if [ "$focus" = focus ]; then
    "$IM" "$work/$name-16.png" \( -size 40x40 pattern:gray50 -negate \) \
      \( -size 40x40 "xc:${colour16[select]}" \) -swap 1,2 -compose over -composite "$work/$name-dither.png"
    "$IM" "$work/$name-dither.png" "$work/$name-16.png" -compose CopyOpacity -composite "$work/$name-16.png"
  fi
  flatten_desktop "$work/$name-16.png" "${colour16[$rim]}" "$work/$name-edge.png" "$work/$name-flat16.png"
  to16 "$work/$name-flat16.png" "$out16"
  # The sheet shows the pictures as the window shows them: cut to the outline.
  cut_to "$work/$name-flat.png" "$work/$name-mask.png" "$work/$name-cut.png"
  cut_to "$work/$name-flat16.png" "$work/$name-mask.png" "$work/$name-cut16.png"
  "$IM" "$work/$name-cut.png" "$work/$name-cut16.png" -background none +append \
    "$work/sheet-$(basename "$out24" .bmp).png"
}

# flatten_desktop ART RIM EDGE OUT: ART over the rim colour, with the rim
# colour again on the pixels of EDGE.
flatten_desktop() {
  "$IM" -size 40x40 "xc:$2" "$1" -compose over -composite \
    \( -size 40x40 "xc:$2" \) "$3" -compose over -composite -alpha off "$4"
}

# cut_to IN MASK OUT: IN with the pixels outside MASK transparent.
cut_to() {
  "$IM" "$1" "$2" -alpha off -compose CopyOpacity -composite "$3"
}

# about_picture OUT24 OUT16: the About page's picture, 240 by 64 pixels: the
# program's icon, its name and what it does, on a light card.
about_picture() {
  render icon-104 3 48 48 "$work/about-glyph.png"
  render icon-104 3 48 48 "$work/about-glyph16.png" vga
  about_card "$work/about-glyph.png" -antialias colour "$work/about.png"
  about_card "$work/about-glyph16.png" +antialias colour16 "$work/about16.png"
  "$IM" "$work/about.png" -type TrueColor "BMP3:$1"
  to16 "$work/about16.png" "$2"
  "$IM" "$work/about.png" "$work/about16.png" -background none -append \
    "$work/sheet-$(basename "$1" .bmp).png"
}

# about_card GLYPH SMOOTH PALETTE OUT: the card with GLYPH, in the colours of
# the named palette array.
about_card() {
  local -n pal=$3
  "$IM" -size 240x64 "xc:${pal[sky]}" "$2" \
    -fill none -stroke "${pal[bluelite]}" -draw "rectangle 0,0 239,63" -stroke none \
    "$1" -geometry +8+8 -compose over -composite \
    -font "$FONT_BOLD" -pointsize 24 -fill "${pal[bluedeep]}" -annotate +66+33 'Dervane' \
    -font "$FONT" -pointsize 10 -fill "${pal[slate]}" -annotate +67+50 'Desktop icons, layouts and tools' \
    -alpha off "$4"
}

# Program icons: the first four stand in this order as the program's first
# icon resources (see res/resource.h).
icon icon-104 "$out/icon-104.ico"   # the program
icon icon-124 "$out/icon-124.ico"   # shortcuts layout, shortcuts on the desktop
icon icon-125 "$out/icon-125.ico"   # shortcuts layout, shortcuts not on the desktop
icon icon-170 "$out/icon-170.ico"   # positions layout
icon icon-171 "$out/icon-171.ico"   # tray: features on, property sheet shown
icon icon-172 "$out/icon-172.ico"   # tray: features on, property sheet hidden
icon icon-173 "$out/icon-173.ico"   # tray: features off
icon icon-195 "$out/icon-195.ico"   # default picture of a custom tray icon
icon icon-196 "$out/icon-196.ico"   # folder picture of tray menus

# Page pictures, black transparent (48 pixels), and the About page's
# decoration, red transparent (64 pixels).
keyed page-backup  3 48 000000 "$out/bitmap-181.bmp" "$out/bitmap-182.bmp"
keyed page-delete  3 48 000000 "$out/bitmap-183.bmp" "$out/bitmap-184.bmp"
keyed page-general 3 48 000000 "$out/bitmap-185.bmp" "$out/bitmap-186.bmp"
keyed page-icons   3 48 000000 "$out/bitmap-187.bmp" "$out/bitmap-188.bmp"
keyed page-respond 3 48 000000 "$out/bitmap-189.bmp" "$out/bitmap-190.bmp"
keyed page-tray    3 48 000000 "$out/bitmap-197.bmp" "$out/bitmap-198.bmp"
keyed about-decoration 4 64 FF0000 "$out/bitmap-166.bmp" "$out/bitmap-169.bmp"

# The File Shredder window: 141 normally, 139 with the focus; 142/140 in 16
# colours. The Backup window: 143 and 145; 144/146 in 16 colours.
desktop_picture shredder kShredderOutline bluedeep 2 "$out/bitmap-141.bmp" "$out/bitmap-142.bmp"
desktop_picture shredder-focus kShredderOutline bluedeep 2 "$out/bitmap-139.bmp" "$out/bitmap-140.bmp" focus
desktop_picture backup kBackupOutline amberdeep 1 "$out/bitmap-143.bmp" "$out/bitmap-144.bmp"
desktop_picture backup-focus kBackupFocusOutline amberdeep 1 "$out/bitmap-145.bmp" "$out/bitmap-146.bmp" focus

# Resources.dll
about_picture "$out/about-101.bmp" "$out/about-103.bmp"

# TrayIcons.dll: every drawing named trayicon-NN.
for f in "$src"/trayicon-[0-9][0-9].mvg; do
  n=$(basename "$f" .mvg)
  icon "$n" "$out/$n.ico"
done

# The contact sheet: every picture with what it is, enlarged twice but for
# the About picture; the 16-colour variant stands to the right of (for the
# About picture: below) its picture.
declare -A caption=(
  [icon-104]="104 program" [icon-124]="124 shortcuts layout, on"
  [icon-125]="125 shortcuts layout, off" [icon-170]="170 positions layout"
  [icon-171]="171 tray, sheet shown" [icon-172]="172 tray, sheet hidden"
  [icon-173]="173 tray, features off" [icon-195]="195 default tray picture"
  [icon-196]="196 folder picture"
  [bitmap-181]="181/182 Backup page" [bitmap-183]="183/184 Delete page"
  [bitmap-185]="185/186 General page" [bitmap-187]="187/188 Icons page"
  [bitmap-189]="189/190 Respond page" [bitmap-197]="197/198 Tray page"
  [bitmap-166]="166/169 About page (red key)"
  [bitmap-141]="141/142 File Shredder" [bitmap-139]="139/140 File Shredder, focus"
  [bitmap-143]="143/144 Backup window" [bitmap-145]="145/146 Backup window, focus"
  [about-101]="Resources.dll 101/103 About picture"
)
sheet_args=()
for f in "$work"/sheet-icon-*.png "$work"/sheet-bitmap-*.png "$work"/sheet-about-*.png \
         "$work"/sheet-trayicon-*.png; do
  n=$(basename "$f" .png)
  n=${n#sheet-}
  scale=200%
  [[ $n == about-* ]] && scale=100%
  "$IM" "$f" -scale "$scale" -background none -gravity center -extent 250x132 "$work/big-$n.png"
  label=${caption[$n]:-$n}
  [[ $n == trayicon-* ]] && label="TrayIcons.dll ${n#trayicon-}"
  sheet_args+=(-label "$label" "$work/big-$n.png")
done
"$MONTAGE" -font "$FONT" -pointsize 11 "${sheet_args[@]}" \
  -tile 5x -geometry '+12+10' -background '#E4E8EC' -define png:exclude-chunks=date,time \
  "$out/contact-sheet.png"

touch "$out/pictures.stamp"
