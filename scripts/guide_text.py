#!/usr/bin/env python3
"""Turns the Japanese guide in Markdown into the plain text that ships beside the DLL:
Shift-JIS (CP932), CR LF, pictures left out, links reduced to their text (web links keep
their address), the version in the heading.

Usage: guide_text.py GUIDE.md VERSION OUT.txt
"""
import re
import sys

IMAGE = re.compile(r"^\s*!\[[^\]]*\]\([^)]*\)\s*$")
LINK = re.compile(r"\[([^\]]+)\]\(([^)\s]+)\)")
HISTORY_HEADING = "## バージョン履歴"


def plain_inline(text):
    def link(match):
        label, target = match.group(1), match.group(2)
        return f"{label} ({target})" if target.startswith(("http://", "https://")) else label

    text = LINK.sub(link, text)
    text = re.sub(r"\*\*([^*]+)\*\*", r"\1", text)
    return re.sub(r"`([^`]+)`", r"\1", text)


def plain_line(line, version, state):
    if line.startswith("```"):
        state["code"] = not state["code"]
        return None
    if state["code"]:
        return ("    " + line).rstrip()
    if IMAGE.match(line):
        return None
    if line.startswith("# "):
        title = f"{plain_inline(line[2:])}　バージョン {version}"
        return title + "\n" + "=" * 72
    if line.startswith("## "):
        return "■ " + plain_inline(line[3:])
    if line.startswith("### "):
        return "◆ " + plain_inline(line[4:])
    bullet = re.match(r"^(\s*)[-*] (.*)$", line)
    if bullet:
        return bullet.group(1) + "・" + plain_inline(bullet.group(2))
    return plain_inline(line)


def history_names(markdown, version):
    section = markdown.split(HISTORY_HEADING, 1)
    return len(section) == 2 and re.search(r"^### " + re.escape(version) + r"\b", section[1], re.M)


def convert(markdown, version):
    state = {"code": False}
    lines = []
    for line in markdown.splitlines():
        text = plain_line(line.rstrip(), version, state)
        # A picture between two blank lines would leave two blank lines.
        if text is None or (text == "" and lines and lines[-1] == ""):
            continue
        lines.append(text)
    return "\n".join(lines).strip("\n") + "\n"


def encode(text, source):
    try:
        return text.replace("\n", "\r\n").encode("cp932")
    except UnicodeEncodeError as error:
        line = text.count("\n", 0, error.start) + 1
        sys.exit(f"{source}: {error.object[error.start]!r} (output line {line}) has no Shift-JIS form")


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    source, version, out = argv[1:]
    with open(source, encoding="utf-8") as guide:
        markdown = guide.read()
    if not history_names(markdown, version):
        sys.exit(f"{source}: the version history has no entry '### {version}'")
    data = encode(convert(markdown, version), source)
    with open(out, "wb") as text:
        text.write(data)


if __name__ == "__main__":
    main(sys.argv)
