#!/usr/bin/env python3
"""Writes a UTF-8 text file as code page 932 with CR LF line ends, for the
Windows package: cp932_crlf.py IN OUT. Fails on a character the code page
lacks rather than writing a look-alike."""

import sys


def main():
    if len(sys.argv) != 3:
        raise SystemExit("usage: cp932_crlf.py IN OUT")
    with open(sys.argv[1], encoding="utf-8") as f:
        text = f.read()
    lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    try:
        data = b"".join(line.encode("cp932") + b"\r\n" for line in lines)
    except UnicodeEncodeError as error:
        raise SystemExit("%s: %s" % (sys.argv[1], error))
    with open(sys.argv[2], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
