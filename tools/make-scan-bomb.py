#!/usr/bin/env python3
"""Makes a progressive JPEG whose last scan repeats: each copy is one more pass of the decoder
over the whole picture, so a small file can keep a decoder busy for minutes. The picture fuzz
corpus holds one (the loader must refuse it at once); regenerate it with

    tools/make-scan-bomb.py fuzz/corpus/picture/progressive.jpg 150 \
        fuzz/corpus/picture/progressive-scan-repeated-150-times.jpg
"""
import sys


def repeat_last_scan(jpeg: bytes, times: int) -> bytes:
    # Entropy-coded data never holds FF DA (start of scan) or FF D9 (end of image).
    scan = jpeg.rfind(b"\xff\xda")
    end = jpeg.rfind(b"\xff\xd9")
    if scan < 0 or end < scan:
        raise SystemExit("not a JPEG with a scan")
    return jpeg[:end] + jpeg[scan:end] * times + b"\xff\xd9"


def main() -> None:
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    source, times, target = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(source, "rb") as f:
        bomb = repeat_last_scan(f.read(), times)
    with open(target, "wb") as f:
        f.write(bomb)


if __name__ == "__main__":
    main()
